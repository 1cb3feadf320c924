#include "platform/linux/SyslogSystemLog.h"

#include <string>
#include <syslog.h>

namespace platform::linux_desktop {

SyslogSystemLog::SyslogSystemLog(std::FILE* echo) : echo_(echo) {
    openlog("pinlet", LOG_PID, LOG_USER);
}

SyslogSystemLog::~SyslogSystemLog() {
    closelog();
}

void SyslogSystemLog::log(std::string_view line) {
    const std::string text(line);
    syslog(LOG_NOTICE, "%s", text.c_str());
    std::fprintf(echo_, "%s\n", text.c_str());
    std::fflush(echo_);
}

} // namespace platform::linux_desktop
