#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::linux_desktop {

// What a later start of the program (`--toggle`, `--show`, `--hide`, `--settings`) asks of the
// running instance, with the startup-notification id its launcher gave it for passing keyboard
// focus on (empty when there was none). The program is an X client on Wayland too, where a
// Wayland activation token means nothing.
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

enum class Delivery { carriedOut, nothingListens, noAnswer };

// Hands the request to the instance listening on the socket and waits, up to the patience given,
// until it has carried it out. A starting instance holds the lock before it listens, so connecting
// is retried as long as the patience for a listener lasts. Plain POSIX sockets, and nothing of
// Qt: a desktop may start the program with a request on every key press.
[[nodiscard]] Delivery deliverRequest(const std::filesystem::path& socketPath,
                                      const InstanceRequest& request,
                                      std::chrono::milliseconds patienceForListener,
                                      std::chrono::milliseconds patience);
// Why a delivery failed, in words for the user.
[[nodiscard]] std::string describe(Delivery failure, const std::filesystem::path& socketPath);

// A request on the wire: its action's name on the first line, then NAME=value lines, then an
// empty line; the instance answers with one line once it has carried it out.
[[nodiscard]] std::string encodedRequest(const InstanceRequest& request);
// The request in a text up to its empty line; none when the text names no action.
[[nodiscard]] std::optional<InstanceRequest> decodedRequest(std::string_view text);
inline constexpr std::string_view endOfRequest = "\n\n";
inline constexpr std::string_view requestCarriedOut = "done\n";

} // namespace platform::linux_desktop
