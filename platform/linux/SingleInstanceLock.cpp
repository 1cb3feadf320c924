#include "platform/linux/SingleInstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>

namespace platform::linux_desktop {
namespace fs = std::filesystem;

fs::path SingleInstanceLock::pathFor(const fs::path& preferences, std::string_view name) {
    return preferences.parent_path() / (std::string(name) + ".lock");
}

std::variant<SingleInstanceLock, LockFailure>
SingleInstanceLock::acquire(const fs::path& lockPath) {
    const auto failed = [&lockPath](std::error_code error) {
        return LockFailure{LockFailure::Kind::error, lockPath, error.message()};
    };
    std::error_code error;
    if (lockPath.has_parent_path()) {
        fs::create_directories(lockPath.parent_path(), error);
    }
    if (error) {
        return failed(error);
    }
    // Close-on-exec: a program started from here must not inherit the lock.
    FileDescriptor file(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!file.valid()) {
        return failed({errno, std::generic_category()});
    }
    while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return LockFailure{LockFailure::Kind::alreadyRunning, lockPath, {}};
        }
        if (errno != EINTR) {
            return failed({errno, std::generic_category()});
        }
    }
    return SingleInstanceLock(std::move(file));
}

} // namespace platform::linux_desktop
