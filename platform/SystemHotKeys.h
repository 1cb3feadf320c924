#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// A key combination that the desktop or another program has claimed, in the shortcut encoding
// (virtual key code, hot-key modifier bits, which may carry bits beyond the known five).
struct SystemHotKey {
    bool enabled = false;
    std::int64_t keyCode = 0;
    std::int64_t modifiers = 0;
};

// The hot keys that the desktop reserves for itself or that other programs hold.
class SystemHotKeys {
public:
    SystemHotKeys() = default;
    SystemHotKeys(const SystemHotKeys&) = delete;
    SystemHotKeys& operator=(const SystemHotKeys&) = delete;
    virtual ~SystemHotKeys() = default;

    // Read afresh at every call: every hot key the desktop's settings list, and the candidate
    // combination itself when another program holds it (which can only be asked of one
    // combination at a time). Combinations this application registered never count. None when
    // the query fails as a whole.
    [[nodiscard]] virtual std::optional<std::vector<SystemHotKey>>
    copySymbolicHotKeys(std::uint32_t candidateKeyCode, std::uint32_t candidateModifiers) = 0;
};

} // namespace platform
