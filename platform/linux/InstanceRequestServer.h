#pragma once

#include "platform/linux/InstanceRequests.h"

#include <QLocalServer>
#include <QObject>
#include <filesystem>
#include <functional>
#include <string>

namespace platform::linux_desktop {

// Listens on the socket for as long as it exists and calls the handler with each well-formed
// request, on the main thread. Only the holder of the lock may create one: whatever socket is
// found at the path is a killed instance's leftover and is removed first.
class InstanceRequestServer final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(const InstanceRequest&)>;

    InstanceRequestServer(const std::filesystem::path& socketPath, Handler handler);

    // Empty while listening, else why not.
    [[nodiscard]] std::string error() const;

private:
    void takeConnection();

    Handler handler_;
    QLocalServer server_;
};

} // namespace platform::linux_desktop
