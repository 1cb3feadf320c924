#include "platform/linux/SyslogSystemLog.h"

#include <cerrno>
#include <string>
#include <syslog.h>

namespace platform::linux_desktop {

SyslogSystemLog::SyslogSystemLog(std::FILE* echo) : echo_(echo) {
    // The program's name, as the journal shows it; glibc keeps the text for the process's life.
    openlog(program_invocation_short_name, LOG_PID, LOG_USER);
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
