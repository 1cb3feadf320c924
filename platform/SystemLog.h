#pragma once

#include <string_view>

namespace platform {

class SystemLog {
public:
    SystemLog() = default;
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;
    virtual ~SystemLog() = default;

    virtual void log(std::string_view line) = 0;
};

} // namespace platform
