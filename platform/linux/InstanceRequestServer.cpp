#include "platform/linux/InstanceRequestServer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <utility>

namespace platform::linux_desktop {
namespace {

// Far more than a request with a startup id; a peer that sends more is not one of ours.
constexpr std::size_t longestRequest = 4096;

// One peer's request, read as it arrives; gone once answered or once the peer leaves.
class RequestConnection final : public QObject {
public:
    RequestConnection(FileDescriptor socket, const InstanceRequestServer::Handler& handler,
                      QObject* parent)
        : QObject(parent), socket_(std::move(socket)), handler_(handler),
          readable_(socket_.get(), QSocketNotifier::Read) {
        connect(&readable_, &QSocketNotifier::activated, this, &RequestConnection::readSome);
    }

private:
    void readSome() {
        std::array<char, 512> buffer{};
        const ssize_t size = ::read(socket_.get(), buffer.data(), buffer.size());
        if (size < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        received_.append(buffer.data(), static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
        const std::size_t end = received_.find(endOfRequest);
        if (end != std::string::npos) {
            answer(decodedRequest(std::string_view(received_).substr(0, end)));
        } else if (size <= 0 || received_.size() >= longestRequest) {
            close();
        }
    }

    void answer(const std::optional<InstanceRequest>& request) {
        // The peer waits for the answer before it reads anything else: nothing here re-enters.
        readable_.setEnabled(false);
        if (request) {
            handler_(*request);
            ::send(socket_.get(), requestCarriedOut.data(), requestCarriedOut.size(),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        close();
    }

    void close() {
        readable_.setEnabled(false);
        deleteLater();
    }

    FileDescriptor socket_;
    const InstanceRequestServer::Handler& handler_;
    QSocketNotifier readable_;
    std::string received_;
};

} // namespace

InstanceRequestServer::InstanceRequestServer(const std::filesystem::path& socketPath,
                                             Handler handler)
    : handler_(std::move(handler)) {
    listen(socketPath);
    if (!error_.empty()) {
        return;
    }
    incoming_ = std::make_unique<QSocketNotifier>(listening_.get(), QSocketNotifier::Read);
    connect(incoming_.get(), &QSocketNotifier::activated, this,
            &InstanceRequestServer::takeConnections);
}

// Only the user may connect: the socket is made the user's alone before bind() creates its file.
void InstanceRequestServer::listen(const std::filesystem::path& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.native().size() >= sizeof(address.sun_path)) {
        error_ = "the socket's path is too long: " + socketPath.string();
        return;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.native().size());
    ::unlink(socketPath.c_str());
    listening_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const bool listening =
        listening_.valid() && ::fchmod(listening_.get(), S_IRUSR | S_IWUSR) == 0 &&
        ::bind(listening_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) ==
            0 &&
        ::listen(listening_.get(), SOMAXCONN) == 0;
    if (!listening) {
        error_ = std::string(std::strerror(errno)) + ": " + socketPath.string();
    }
}

void InstanceRequestServer::takeConnections() {
    while (true) {
        FileDescriptor socket(
            ::accept4(listening_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!socket.valid()) {
            return;
        }
        new RequestConnection(std::move(socket), handler_, this);
    }
}

} // namespace platform::linux_desktop
