#pragma once

#include "platform/linux/FileDescriptor.h"
#include "platform/linux/InstanceRequests.h"

#include <QObject>
#include <QSocketNotifier>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace platform::linux_desktop {

// Listens on the socket for as long as it exists and calls the handler with each well-formed
// request, on the main thread. Only the holder of the lock may create one: whatever socket is
// found at the path is a killed instance's leftover and is removed first. A plain socket, as the
// client's: Qt's network library would load its own and Kerberos' at every start for one socket.
class InstanceRequestServer final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(const InstanceRequest&)>;

    InstanceRequestServer(const std::filesystem::path& socketPath, Handler handler);

    // Empty while listening, else why not.
    [[nodiscard]] std::string error() const { return error_; }

private:
    void listen(const std::filesystem::path& socketPath);
    void takeConnections();

    Handler handler_;
    FileDescriptor listening_;
    std::unique_ptr<QSocketNotifier> incoming_;
    std::string error_;
};

} // namespace platform::linux_desktop
