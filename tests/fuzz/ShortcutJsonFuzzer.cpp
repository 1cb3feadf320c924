#include "KeyboardShortcuts/Shortcut.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

// Whatever text the preferences store holds, reading it as a shortcut never fails loudly, and a
// shortcut it yields writes back as text that reads as the same shortcut.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto shortcut = KeyboardShortcuts::Shortcut::fromJson(text);
    if (shortcut && KeyboardShortcuts::Shortcut::fromJson(shortcut->toJson()) != shortcut) {
        std::abort();
    }
    return 0;
}
