#pragma once

#include <unistd.h>
#include <utility>

namespace platform::linux_desktop {

// Owns a POSIX file descriptor and closes it once; -1 holds none.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }

    // Closes the descriptor held; true unless close() reported an error, which on some file
    // systems is the first word of a failed write.
    bool reset(int fd = -1) {
        const bool closed = fd_ < 0 || ::close(fd_) == 0;
        fd_ = fd;
        return closed;
    }

private:
    int fd_ = -1;
};

} // namespace platform::linux_desktop
