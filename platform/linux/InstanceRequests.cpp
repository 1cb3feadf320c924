#include "platform/linux/InstanceRequests.h"

#include "platform/linux/FileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <glib.h>
#include <poll.h>
#include <span>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <utility>
#include <vector>

namespace platform::linux_desktop {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::array<std::pair<InstanceRequest::Action, const char*>, 4> actionNames{{
    {InstanceRequest::Action::toggle, "toggle"},
    {InstanceRequest::Action::show, "show"},
    {InstanceRequest::Action::hide, "hide"},
    {InstanceRequest::Action::settings, "settings"},
}};
constexpr const char* startupIdName = "DESKTOP_STARTUP_ID";
constexpr auto retryInterval = std::chrono::milliseconds(10);

std::chrono::milliseconds remaining(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds(0));
}

// A connected socket, or none when nothing listens on the path before the deadline.
FileDescriptor connectBefore(const fs::path& path, Clock::time_point deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof(address.sun_path)) {
        return {};
    }
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    while (true) {
        FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (socket.valid() && ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address),
                                        sizeof(address)) == 0) {
            return socket;
        }
        if (!socket.valid() || Clock::now() + retryInterval >= deadline) {
            return {};
        }
        std::this_thread::sleep_for(retryInterval);
    }
}

bool sendAll(const FileDescriptor& socket, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = ::send(socket.get(), data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno != EINTR) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(std::max<ssize_t>(sent, 0)));
    }
    return true;
}

// The first line the peer sends, up to the deadline or its end.
std::string lineBefore(const FileDescriptor& socket, Clock::time_point deadline) {
    std::string received;
    pollfd readable{socket.get(), POLLIN, 0};
    while (received.find('\n') == std::string::npos) {
        std::array<char, 256> buffer{};
        const int ready = ::poll(&readable, 1, static_cast<int>(remaining(deadline).count()));
        const ssize_t size = ready > 0 ? ::read(socket.get(), buffer.data(), buffer.size()) : -1;
        const bool interrupted = ready != 0 && size < 0 && errno == EINTR;
        if (size <= 0 && !interrupted) {
            break; // the deadline, the end, or an error
        }
        received.append(buffer.data(), std::max<ssize_t>(size, 0));
    }
    return received.substr(0, received.find('\n') + 1);
}

// The lines of a text, without their ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t end = text.find('\n');; end = text.find('\n')) {
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return lines;
        }
        text.remove_prefix(end + 1);
    }
}

} // namespace

std::string encodedRequest(const InstanceRequest& request) {
    std::string text;
    for (const auto& [action, name] : actionNames) {
        if (action == request.action) {
            text = name;
        }
    }
    text += '\n';
    // An id that would break the line it stands on is none a desktop hands out.
    if (!request.startupId.empty() && request.startupId.find('\n') == std::string::npos) {
        text += std::string(startupIdName) + '=' + request.startupId + '\n';
    }
    return text + '\n';
}

std::optional<InstanceRequest> decodedRequest(std::string_view text) {
    const std::vector<std::string_view> lines = linesOf(text);
    std::optional<InstanceRequest> request;
    for (const auto& [action, name] : actionNames) {
        if (lines.front() == name) {
            request = InstanceRequest{action, {}};
        }
    }
    const std::string startupIdLine = std::string(startupIdName) + '=';
    for (const std::string_view line : std::span(lines).subspan(1)) {
        if (request && line.starts_with(startupIdLine)) {
            request->startupId = line.substr(startupIdLine.size());
        }
    }
    return request;
}

InstanceRequest InstanceRequest::fromEnvironment(Action action) {
    const char* startupId = std::getenv(startupIdName);
    return {action, startupId != nullptr ? startupId : ""};
}

fs::path requestSocketPathFor(const fs::path& lockPath) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const fs::path directory =
        runtime == nullptr || *runtime == '\0' ? lockPath.parent_path() : fs::path(runtime);
    const std::string canonical = fs::weakly_canonical(lockPath).string();
    gchar* digest = g_compute_checksum_for_data(
        G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(canonical.data()), canonical.size());
    const std::string lockId = std::string(digest).substr(0, 16);
    g_free(digest);
    return directory / (lockPath.stem().string() + "-" + lockId + ".socket");
}

Delivery deliverRequest(const fs::path& socketPath, const InstanceRequest& request,
                        std::chrono::milliseconds patienceForListener,
                        std::chrono::milliseconds patience) {
    const Clock::time_point start = Clock::now();
    const FileDescriptor socket = connectBefore(socketPath, start + patienceForListener);
    if (!socket.valid()) {
        return Delivery::nothingListens;
    }
    const bool answered = sendAll(socket, encodedRequest(request)) &&
                          lineBefore(socket, start + patience) == requestCarriedOut;
    return answered ? Delivery::carriedOut : Delivery::noAnswer;
}

std::string describe(Delivery failure, const fs::path& socketPath) {
    return (failure == Delivery::nothingListens ? "nothing takes requests on "
                                                : "it did not answer on ") +
           socketPath.string();
}

} // namespace platform::linux_desktop
