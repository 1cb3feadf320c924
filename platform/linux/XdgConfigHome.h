#pragma once

#include <filesystem>

namespace platform::linux_desktop {

// The user's configuration folder: $XDG_CONFIG_HOME, or $HOME/.config when that is unset, empty
// or relative. Nothing of Qt, for the program that hands requests on.
[[nodiscard]] std::filesystem::path xdgConfigHome();

} // namespace platform::linux_desktop
