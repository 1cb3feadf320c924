#include "platform/linux/XdgConfigHome.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform::linux_desktop {

std::filesystem::path xdgConfigHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".config";
    }
    const passwd* user = ::getpwuid(::getuid());
    return std::filesystem::path(user != nullptr ? user->pw_dir : "/") / ".config";
}

} // namespace platform::linux_desktop
