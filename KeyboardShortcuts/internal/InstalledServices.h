#pragma once

#include "KeyboardShortcuts/PlatformServices.h"

namespace KeyboardShortcuts::internal {

// The installed services. Using the library before installing them is a programming error and
// stops the process with a message.
[[nodiscard]] const PlatformServices& installedServices();

} // namespace KeyboardShortcuts::internal
