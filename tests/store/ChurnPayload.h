#pragma once

#include <string>

namespace test_support {

// About a mebibyte that can only belong to one counter value, so that a file mixing two states
// never passes for one of them.
inline std::string churnPayload(double counter) {
    const std::string unit = std::to_string(counter) + ";";
    std::string payload;
    payload.reserve((1U << 20U) + unit.size());
    while (payload.size() < (1U << 20U)) {
        payload += unit;
    }
    return payload;
}

} // namespace test_support
