#include "tests/x11/support/ChildProcess.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ; // NOLINT(readability-redundant-declaration): POSIX declares it nowhere

namespace test_support::x11 {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto pollInterval = std::chrono::milliseconds(10);
constexpr auto gracefulStopTime = std::chrono::seconds(3);

struct Channel {
    Descriptor parentEnd;
    Descriptor childEnd;
};

[[noreturn]] void throwSystemError(const std::string& what, int error = errno) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

Channel makePipe() {
    auto ends = makeChildPipe();
    return {std::move(ends.first), std::move(ends.second)};
}

// A socket rather than a pipe, so that writing to a child that has stopped reading answers
// EPIPE instead of killing the test with SIGPIPE.
Channel makeInputChannel() {
    std::array<int, 2> ends{};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends.data()) != 0) {
        throwSystemError("socketpair");
    }
    return {Descriptor(ends[0]), Descriptor(ends[1])};
}

Descriptor openNullDevice() {
    const int fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        throwSystemError("/dev/null");
    }
    return Descriptor(fd);
}

Descriptor openLogFile(const std::filesystem::path& path) {
    if (path.empty()) {
        return openNullDevice();
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        throwSystemError(path.string());
    }
    return Descriptor(fd);
}

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

std::filesystem::path findProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    const char* path = std::getenv("PATH"); // NOLINT(concurrency-mt-unsafe): main thread only
    std::istringstream directories(path == nullptr ? "/usr/bin:/bin" : path);
    for (std::string directory; std::getline(directories, directory, ':');) {
        std::filesystem::path candidate = std::filesystem::path(directory) / program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    throw std::runtime_error("cannot run " + program + ": not found in PATH");
}

std::vector<std::string> mergedEnvironment(const Environment& overrides) {
    Environment merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos) {
            merged.emplace(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    for (const auto& [name, value] : overrides) {
        merged.insert_or_assign(name, value);
    }
    std::vector<std::string> lines;
    lines.reserve(merged.size());
    for (const auto& [name, value] : merged) {
        lines.push_back(name);
        lines.back().append("=").append(value);
    }
    return lines;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

struct StandardStreams {
    int input;
    int output;
    int errors;
    int passed; // -1: none
};

// Between fork and exec only async-signal-safe calls: the test process may run other threads.
[[noreturn]] void becomeChild(const char* program, char* const* argv, char* const* envp,
                              const StandardStreams& streams, pid_t parent, int errorReport) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
        ::_exit(127);
    }
    sigset_t nothingBlocked;
    sigemptyset(&nothingBlocked);
    ::sigprocmask(SIG_SETMASK, &nothingBlocked, nullptr);
    ::dup2(streams.input, STDIN_FILENO);
    ::dup2(streams.output, STDOUT_FILENO);
    ::dup2(streams.errors, STDERR_FILENO);
    if (streams.passed == 3) {
        ::fcntl(3, F_SETFD, 0);
    } else if (streams.passed >= 0) {
        ::dup2(streams.passed, 3);
    }
    ::execve(program, argv, envp);
    const int error = errno;
    [[maybe_unused]] const auto written = ::write(errorReport, &error, sizeof error);
    ::_exit(127);
}

pid_t spawn(const std::vector<std::string>& arguments, const Environment& environment,
            const StandardStreams& streams) {
    if (arguments.empty()) {
        throw std::invalid_argument("a command needs at least the program's name");
    }
    const std::filesystem::path program = findProgram(arguments.front());
    std::vector<std::string> argumentCopies = arguments;
    std::vector<std::string> environmentLines = mergedEnvironment(environment);
    const std::vector<char*> argv = pointersTo(argumentCopies);
    const std::vector<char*> envp = pointersTo(environmentLines);
    Channel errorReport = makePipe();

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        throwSystemError("fork");
    }
    if (pid == 0) {
        becomeChild(program.c_str(), argv.data(), envp.data(), streams, parent,
                    errorReport.childEnd.get());
    }
    // The group is set on both sides so that it exists before anyone signals it.
    ::setpgid(pid, pid);
    errorReport.childEnd.reset();
    int execError = 0;
    if (::read(errorReport.parentEnd.get(), &execError, sizeof execError) ==
        static_cast<ssize_t>(sizeof execError)) {
        ::waitpid(pid, nullptr, 0);
        throwSystemError("cannot run " + arguments.front(), execError);
    }
    return pid;
}

// Reads what is available now; false once the writer has closed its end.
bool readAvailable(int fd, std::string& into) {
    std::array<char, 4096> buffer{};
    while (true) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count > 0) {
            into.append(buffer.data(), static_cast<std::size_t>(count));
        } else {
            return count < 0 && (errno == EAGAIN || errno == EINTR);
        }
    }
}

std::optional<siginfo_t> exitInfo(pid_t pid) {
    siginfo_t info{};
    // WNOWAIT leaves the child a zombie: its pid, and so its process group, stay ours to
    // signal until it is reaped.
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid == 0) {
        return std::nullopt;
    }
    return info;
}

int exitCodeOf(const siginfo_t& info) {
    return info.si_code == CLD_EXITED ? info.si_status : -1;
}

std::optional<int> waitForExitOf(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (const auto info = exitInfo(pid)) {
            return exitCodeOf(*info);
        }
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

} // namespace

std::pair<Descriptor, Descriptor> makeChildPipe() {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
        throwSystemError("pipe");
    }
    return {Descriptor(ends[0]), Descriptor(ends[1])};
}

ChildProcess::ChildProcess(const LaunchOptions& options) : logFile_(options.logFile) {
    const Descriptor input = openNullDevice();
    const Descriptor output = openLogFile(options.logFile);
    pid_ = spawn(options.arguments, options.environment,
                 {input.get(), output.get(), output.get(), options.passedDescriptor});
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), exitStatus_(other.exitStatus_),
      logFile_(std::move(other.logFile_)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, -1);
        exitStatus_ = other.exitStatus_;
        logFile_ = std::move(other.logFile_);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::isRunning() const {
    return pid_ > 0 && !exitInfo(pid_).has_value();
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return exitStatus_;
    }
    return waitForExitOf(pid_, timeout);
}

void ChildProcess::signal(int signalNumber) const {
    if (pid_ > 0) {
        ::kill(-pid_, signalNumber);
    }
}

void ChildProcess::stop() {
    if (pid_ <= 0) {
        return;
    }
    signal(SIGTERM);
    waitForExitOf(pid_, gracefulStopTime);
    // Sweeps whatever the child left in its group, and the child itself if it did not obey.
    signal(SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reap(status);
}

void ChildProcess::reap(int status) {
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
}

std::string ChildProcess::output() const {
    std::ifstream file(logFile_);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

CommandResult runCommand(const std::vector<std::string>& arguments, const Environment& environment,
                         const std::string& input, std::chrono::milliseconds timeout) {
    Channel stdinChannel = makeInputChannel();
    Channel stdoutChannel = makePipe();
    Channel stderrChannel = makePipe();
    const pid_t pid = spawn(arguments, environment,
                            {stdinChannel.childEnd.get(), stdoutChannel.childEnd.get(),
                             stderrChannel.childEnd.get(), -1});
    stdinChannel.childEnd.reset();
    stdoutChannel.childEnd.reset();
    stderrChannel.childEnd.reset();
    setNonBlocking(stdoutChannel.parentEnd.get());
    setNonBlocking(stderrChannel.parentEnd.get());

    CommandResult result;
    std::size_t inputSent = 0;
    bool outputOpen = true;
    bool errorsOpen = true;
    const auto deadline = Clock::now() + timeout;
    std::optional<siginfo_t> exited = exitInfo(pid);
    while (!exited && Clock::now() < deadline) {
        if (inputSent < input.size()) {
            const ssize_t sent = ::send(stdinChannel.parentEnd.get(), input.data() + inputSent,
                                        input.size() - inputSent, MSG_NOSIGNAL | MSG_DONTWAIT);
            inputSent = sent < 0 ? (errno == EAGAIN ? inputSent : input.size())
                                 : inputSent + static_cast<std::size_t>(sent);
        }
        if (inputSent >= input.size()) {
            stdinChannel.parentEnd.reset();
        }
        // A closed stream drops out of the poll (negative descriptor) so that it cannot spin.
        std::array<pollfd, 2> readable{
            {{outputOpen ? stdoutChannel.parentEnd.get() : -1, POLLIN, 0},
             {errorsOpen ? stderrChannel.parentEnd.get() : -1, POLLIN, 0}}};
        ::poll(readable.data(), readable.size(), static_cast<int>(pollInterval.count()));
        outputOpen = outputOpen && readAvailable(stdoutChannel.parentEnd.get(), result.output);
        errorsOpen = errorsOpen && readAvailable(stderrChannel.parentEnd.get(), result.errors);
        if (!outputOpen && !errorsOpen) {
            std::this_thread::sleep_for(pollInterval);
        }
        exited = exitInfo(pid);
    }
    if (!exited) {
        ::kill(-pid, SIGKILL);
        result.errors += "\n[killed after " + std::to_string(timeout.count()) + " ms]";
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    readAvailable(stdoutChannel.parentEnd.get(), result.output);
    readAvailable(stderrChannel.parentEnd.get(), result.errors);
    result.exitCode = exited ? exitCodeOf(*exited) : -1;
    return result;
}

} // namespace test_support::x11
