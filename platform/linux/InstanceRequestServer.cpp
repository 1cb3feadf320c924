#include "platform/linux/InstanceRequestServer.h"

#include <QLocalSocket>
#include <utility>

namespace platform::linux_desktop {
namespace {

// Far more than a request with a startup id; a peer that sends more is not one of ours.
constexpr qint64 longestRequest = 4096;

} // namespace

InstanceRequestServer::InstanceRequestServer(const std::filesystem::path& socketPath,
                                             Handler handler)
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
            const auto request = end < 0 ? std::nullopt : decodedRequest(socket->read(end));
            if (request) {
                handler_(*request);
                socket->write(requestCarriedOut.toByteArray());
            }
            socket->disconnectFromServer();
        });
    }
}

} // namespace platform::linux_desktop
