#pragma once

#include "platform/SystemLog.h"

#include <cstdio>

namespace platform::linux_desktop {

// Lines go to syslog (the journal) and to standard error.
class SyslogSystemLog final : public SystemLog {
public:
    explicit SyslogSystemLog(std::FILE* echo = stderr);
    ~SyslogSystemLog() override;
    SyslogSystemLog(const SyslogSystemLog&) = delete;
    SyslogSystemLog& operator=(const SyslogSystemLog&) = delete;

    void log(std::string_view line) override;

private:
    std::FILE* echo_;
};

} // namespace platform::linux_desktop
