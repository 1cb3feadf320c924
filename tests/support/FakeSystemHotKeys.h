#pragma once

#include "platform/SystemHotKeys.h"

namespace test_support {

// The desktop's claimed combinations as the test lists them; none models a failing query.
struct FakeSystemHotKeys final : platform::SystemHotKeys {
    std::optional<std::vector<platform::SystemHotKey>> hotKeys{std::in_place};

    std::optional<std::vector<platform::SystemHotKey>>
    copySymbolicHotKeys(std::uint32_t /*candidateKeyCode*/,
                        std::uint32_t /*candidateModifiers*/) override {
        return hotKeys;
    }
};

} // namespace test_support
