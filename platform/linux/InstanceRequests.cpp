#include "platform/linux/InstanceRequests.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QThread>
#include <array>
#include <utility>

namespace platform::linux_desktop {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A request is its action's name on the first line, then NAME=value lines, then an empty line;
// the instance answers with one line once it has carried it out.
constexpr std::array<std::pair<InstanceRequest::Action, const char*>, 4> actionNames{{
    {InstanceRequest::Action::toggle, "toggle"},
    {InstanceRequest::Action::show, "show"},
    {InstanceRequest::Action::hide, "hide"},
    {InstanceRequest::Action::settings, "settings"},
}};
constexpr const char* startupIdName = "DESKTOP_STARTUP_ID";
constexpr QByteArrayView endOfRequest = "\n\n";
constexpr QByteArrayView carriedOut = "done\n";
// Far more than a request with a startup id; a peer that sends more is not one of ours.
constexpr qint64 longestRequest = 4096;
constexpr auto retryInterval = std::chrono::milliseconds(10);

QByteArray encoded(const InstanceRequest& request) {
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

std::optional<InstanceRequest> decoded(const QByteArray& text) {
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

std::chrono::milliseconds remaining(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds(0));
}

bool connectBefore(QLocalSocket& socket, const fs::path& path, Clock::time_point deadline) {
    while (true) {
        socket.connectToServer(QString::fromStdString(path.string()));
        if (socket.waitForConnected(static_cast<int>(remaining(deadline).count()))) {
            return true;
        }
        if (Clock::now() + retryInterval >= deadline) {
            return false;
        }
        QThread::msleep(retryInterval.count());
    }
}

} // namespace

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
    return directory / ("pinlet-" + lockId.toStdString() + ".socket");
}

std::optional<std::string> deliverRequest(const fs::path& socketPath,
                                          const InstanceRequest& request,
                                          std::chrono::milliseconds patience) {
    const Clock::time_point deadline = Clock::now() + patience;
    QLocalSocket socket;
    if (!connectBefore(socket, socketPath, deadline)) {
        return "nothing takes requests on " + socketPath.string();
    }
    socket.write(encoded(request));
    while (!socket.canReadLine() &&
           socket.waitForReadyRead(static_cast<int>(remaining(deadline).count()))) {
    }
    if (socket.readLine() != carriedOut) {
        return "it did not answer on " + socketPath.string();
    }
    return std::nullopt;
}

InstanceRequestServer::InstanceRequestServer(const fs::path& socketPath, Handler handler)
    : handler_(std::move(handler)) {
    const QString path = QString::fromStdString(socketPath.string());
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceRequestServer::takeConnection);
    server_.listen(path);
}

std::string InstanceRequestServer::error() const {
    return server_.isListening() ? std::string() : server_.errorString().toStdString();
}

void InstanceRequestServer::takeConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray text = socket->peek(longestRequest);
            const qsizetype end = text.indexOf(endOfRequest);
            if (end < 0 && text.size() < longestRequest) {
                return;
            }
            const auto request = end < 0 ? std::nullopt : decoded(socket->read(end));
            if (request) {
                handler_(*request);
                socket->write(carriedOut.toByteArray());
            }
            socket->disconnectFromServer();
        });
    }
}

} // namespace platform::linux_desktop
