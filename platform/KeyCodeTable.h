#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// One physical key: its virtual key code (layout independent), the XKB name of the key at that
// position and its evdev code.
struct PhysicalKey {
    std::uint16_t virtualKeyCode;
    std::string_view xkbName;
    std::uint16_t evdevCode;
};

[[nodiscard]] std::span<const PhysicalKey> physicalKeys();
[[nodiscard]] std::optional<PhysicalKey> physicalKeyForVirtualKeyCode(std::uint16_t virtualKeyCode);
[[nodiscard]] std::optional<std::uint16_t> virtualKeyCodeForXkbName(std::string_view xkbName);

} // namespace platform
