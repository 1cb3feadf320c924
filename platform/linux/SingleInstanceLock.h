#pragma once

#include "platform/linux/FileDescriptor.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

namespace platform::linux_desktop {

// Why the lock could not be taken.
struct LockFailure {
    enum class Kind { alreadyRunning, error };
    Kind kind;
    std::filesystem::path lockPath;
    // The system's reason, for Kind::error.
    std::string reason;
};

// Makes this process the one owner of the preferences store: an exclusive lock on a file next to
// it, held until the object is destroyed or the process ends, however it ends. Take it before
// creating the store; when it fails, exit without creating one, so that a second instance never
// writes the file.
class SingleInstanceLock {
public:
    // "<name>.lock" in the directory of the preferences file.
    [[nodiscard]] static std::filesystem::path pathFor(const std::filesystem::path& preferences,
                                                       std::string_view name);

    // Never waits: a lock held elsewhere fails at once. Creates the directory if need be.
    [[nodiscard]] static std::variant<SingleInstanceLock, LockFailure>
    acquire(const std::filesystem::path& lockPath);

private:
    explicit SingleInstanceLock(FileDescriptor file) : file_(std::move(file)) {}

    // The lock belongs to this open file description and ends when it is closed.
    FileDescriptor file_;
};

} // namespace platform::linux_desktop
