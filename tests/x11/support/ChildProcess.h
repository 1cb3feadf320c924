#pragma once

#include "platform/linux/FileDescriptor.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace test_support::x11 {

// Variables added to, or replacing, those of the test process.
using Environment = std::map<std::string, std::string>;

struct CommandResult {
    // The exit status; -1 when the command was killed by a signal or ran out of time.
    int exitCode = -1;
    std::string output;
    std::string errors;

    [[nodiscard]] bool succeeded() const { return exitCode == 0; }
};

using Descriptor = platform::linux_desktop::FileDescriptor;

// A pipe whose ends are closed on exec; {read end, write end}.
[[nodiscard]] std::pair<Descriptor, Descriptor> makeChildPipe();

struct LaunchOptions {
    std::vector<std::string> arguments{};
    Environment environment{};
    // Standard output and standard error of the child; empty discards them.
    std::filesystem::path logFile{};
    // An open descriptor of this process that the child receives as descriptor 3.
    int passedDescriptor = -1;
};

// A long-running child in a process group of its own. The group is stopped when the object
// goes, and the child is sent SIGTERM should the test process die first, so nothing outlives
// a failed or crashed test.
class ChildProcess {
public:
    // Throws std::runtime_error, naming the program, when it cannot be started.
    explicit ChildProcess(const LaunchOptions& options);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] bool isRunning() const;
    // The exit status, or none if the child still runs after the timeout.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Sends the signal to the whole process group.
    void signal(int signalNumber) const;
    // SIGTERM to the group, SIGKILL if it has not exited within a few seconds; then reaped.
    void stop();
    // What the child wrote so far, when it has a log file.
    [[nodiscard]] std::string output() const;

private:
    void reap(int status);

    pid_t pid_ = -1;
    std::optional<int> exitStatus_;
    std::filesystem::path logFile_;
};

// Runs a command to its end with the input on its standard input and collects what it writes.
// A command still running after the timeout is killed with its process group. A background
// process that the command leaves behind does not hold the call up.
[[nodiscard]] CommandResult
runCommand(const std::vector<std::string>& arguments, const Environment& environment,
           const std::string& input = {},
           std::chrono::milliseconds timeout = std::chrono::seconds(30));

} // namespace test_support::x11
