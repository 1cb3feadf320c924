#pragma once

#include <QLocalServer>
#include <QObject>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace platform::linux_desktop {

// What a later `pinlet --toggle|--show|--hide|--settings` asks of the running instance, with the
// startup-notification id its launcher gave it for passing keyboard focus on (empty when there was
// none). Pinlet is an X client on Wayland too, where a Wayland activation token means nothing.
struct InstanceRequest {
    enum class Action { toggle, show, hide, settings };
    Action action = Action::toggle;
    std::string startupId;

    // With this process's own startup id, from DESKTOP_STARTUP_ID.
    [[nodiscard]] static InstanceRequest fromEnvironment(Action action);
};

// The local socket through which the instance that holds the lock takes requests: in
// $XDG_RUNTIME_DIR (the lock's own directory where that is unset), named after the lock, so that
// instances with different preferences never meet.
[[nodiscard]] std::filesystem::path requestSocketPathFor(const std::filesystem::path& lockPath);

// Hands the request to the instance listening on the socket and waits until it has carried it
// out. A starting instance holds the lock before it listens, so connecting is retried within
// the patience given. None on success, else why it failed, in words for the user.
[[nodiscard]] std::optional<std::string> deliverRequest(const std::filesystem::path& socketPath,
                                                        const InstanceRequest& request,
                                                        std::chrono::milliseconds patience);

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
