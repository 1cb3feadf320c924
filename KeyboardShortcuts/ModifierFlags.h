#pragma once

#include "platform/HotKeyService.h"

#include <cstdint>

namespace KeyboardShortcuts {

// The hot-key service's modifier bits: the encoding that is stored and registered.
namespace CarbonModifiers = platform::HotKeyModifier;

// Event modifier flags (platform::ModifierFlags) to hot-key bits. Only shift, control, option,
// command and function take part; every other flag is dropped.
[[nodiscard]] std::int64_t carbon(std::uint64_t modifierFlags);

// Hot-key bits to event modifier flags; bits other than the five known ones are ignored.
[[nodiscard]] std::uint64_t modifierFlagsFromCarbon(std::int64_t carbonModifiers);

} // namespace KeyboardShortcuts
