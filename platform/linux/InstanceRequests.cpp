#include "platform/linux/InstanceRequests.h"

#include "platform/linux/FileDescriptor.h"

#include <QCryptographicHash>
#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <utility>

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

bool sendAll(const FileDescriptor& socket, QByteArrayView data) {
    while (!data.isEmpty()) {
        const ssize_t sent = ::send(socket.get(), data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno != EINTR) {
            return false;
        }
        data = data.sliced(std::max<ssize_t>(sent, 0));
    }
    return true;
}

// The first line the peer sends, up to the deadline or its end.
QByteArray lineBefore(const FileDescriptor& socket, Clock::time_point deadline) {
    QByteArray received;
    pollfd readable{socket.get(), POLLIN, 0};
    while (!received.contains('\n')) {
        std::array<char, 256> buffer{};
        const int ready = ::poll(&readable, 1, static_cast<int>(remaining(deadline).count()));
        const ssize_t size = ready > 0 ? ::read(socket.get(), buffer.data(), buffer.size()) : -1;
        const bool interrupted = ready != 0 && size < 0 && errno == EINTR;
        if (size <= 0 && !interrupted) {
            break; // the deadline, the end, or an error
        }
        received.append(buffer.data(), std::max<ssize_t>(size, 0));
    }
    return received.left(received.indexOf('\n') + 1);
}

} // namespace

QByteArray encodedRequest(const InstanceRequest& request) {
    QByteArray text;
    for (const auto& [action, name] : actionNames) {
        if (action == request.action) {
            text = name;
        }
    }
    text += '\n';
    // An id that would break the line it stands on is none a desktop hands out.
    if (!request.startupId.empty() && request.startupId.find('\n') == std::string::npos) {
        text +=
            QByteArray(startupIdName) + '=' + QByteArray::fromStdString(request.startupId) + '\n';
    }
    return text + '\n';
}

std::optional<InstanceRequest> decodedRequest(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    std::optional<InstanceRequest> request;
    for (const auto& [action, name] : actionNames) {
        if (lines.first() == name) {
            request = InstanceRequest{action, {}};
        }
    }
    const QByteArray startupIdLine = QByteArray(startupIdName) + '=';
    for (const QByteArray& line : lines.mid(1)) {
        if (request && line.startsWith(startupIdLine)) {
            request->startupId = line.mid(startupIdLine.size()).toStdString();
        }
    }
    return request;
}

InstanceRequest InstanceRequest::fromEnvironment(Action action) {
    return {action, qEnvironmentVariable(startupIdName).toStdString()};
}

fs::path requestSocketPathFor(const fs::path& lockPath) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const fs::path directory =
        runtime.isEmpty() ? lockPath.parent_path() : fs::path(runtime.toStdString());
    const QByteArray lockId =
        QCryptographicHash::hash(QByteArray::fromStdString(fs::weakly_canonical(lockPath).string()),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return directory / (lockPath.stem().string() + "-" + lockId.toStdString() + ".socket");
}

std::optional<std::string> deliverRequest(const fs::path& socketPath,
                                          const InstanceRequest& request,
                                          std::chrono::milliseconds patience) {
    const Clock::time_point deadline = Clock::now() + patience;
    const FileDescriptor socket = connectBefore(socketPath, deadline);
    if (!socket.valid()) {
        return "nothing takes requests on " + socketPath.string();
    }
    if (!sendAll(socket, encodedRequest(request)) ||
        lineBefore(socket, deadline) != requestCarriedOut) {
        return "it did not answer on " + socketPath.string();
    }
    return std::nullopt;
}

} // namespace platform::linux_desktop
