#pragma once

#include "platform/SystemLog.h"

#include <string>
#include <vector>

namespace test_support {

class FakeSystemLog final : public platform::SystemLog {
public:
    void log(std::string_view line) override { lines.emplace_back(line); }

    std::vector<std::string> lines;
};

} // namespace test_support
