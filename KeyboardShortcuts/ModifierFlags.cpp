#include "KeyboardShortcuts/ModifierFlags.h"

#include "platform/Event.h"

#include <array>

namespace KeyboardShortcuts {
namespace {

struct ModifierEncoding {
    std::uint64_t flag;
    std::int64_t carbonBit;
};

constexpr std::array encodings{
    ModifierEncoding{platform::ModifierFlags::shift, CarbonModifiers::shift},
    ModifierEncoding{platform::ModifierFlags::control, CarbonModifiers::control},
    ModifierEncoding{platform::ModifierFlags::option, CarbonModifiers::option},
    ModifierEncoding{platform::ModifierFlags::command, CarbonModifiers::command},
    ModifierEncoding{platform::ModifierFlags::function, CarbonModifiers::function},
};

} // namespace

std::int64_t carbon(std::uint64_t modifierFlags) {
    std::int64_t bits = 0;
    for (const auto& encoding : encodings) {
        if ((modifierFlags & encoding.flag) != 0) {
            bits |= encoding.carbonBit;
        }
    }
    return bits;
}

std::uint64_t modifierFlagsFromCarbon(std::int64_t carbonModifiers) {
    std::uint64_t flags = 0;
    for (const auto& encoding : encodings) {
        if ((carbonModifiers & encoding.carbonBit) != 0) {
            flags |= encoding.flag;
        }
    }
    return flags;
}

} // namespace KeyboardShortcuts
