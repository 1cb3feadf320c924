// Pinlet's toggle against the floor of the desktop: a bare Xlib client (floor/toggle-floor.c) that
// maps a window and asks the window manager to activate it. Both run at once on a private X
// server, their rounds interleaved, so that drift of the machine touches each alike. Timed from
// the trigger (the release of the shortcut's key through XTest, or the start of the command) to
// the window active, seen as the window manager announces it. Each scenario prints medians, 95th
// percentiles and the ratios of Pinlet to the floor.
//
// Usage: toggle_vs_floor [rounds] [text a scenario's name contains]
#include "bench/XTestKeyboard.h"
#include "platform/linux/x11/XcbConnection.h"
#include "platform/linux/x11/XcbPointer.h"
#include "tests/x11/support/XSession.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <xcb/xcb.h>

extern char** environ; // NOLINT(readability-redundant-declaration): for posix_spawn

namespace {

using Clock = std::chrono::steady_clock;
namespace x11 = test_support::x11;
using platform::linux_desktop::xcbOwned;

constexpr std::uint32_t keyM = 46;
constexpr auto giveUpAfter = std::chrono::milliseconds(10000);
// openbox now and then leaves a window that asked for activation as it was: the show is missed.
constexpr auto missedAfter = std::chrono::milliseconds(1000);
constexpr std::size_t largeNote = 1 << 20;

struct Scenario {
    const char* name;
    bool compositor = false;
    bool wayland = false;
    bool byCommand = false;
    std::size_t noteSize = 0;
};

// Watches the root window's _NET_ACTIVE_WINDOW on a connection of its own.
class ActiveWindowWatch {
public:
    explicit ActiveWindowWatch(const std::string& display)
        : connection_(platform::linux_desktop::connectToDisplay(display)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())).data->root;
        const std::string name = "_NET_ACTIVE_WINDOW";
        const auto reply = xcbOwned(xcb_intern_atom_reply(
            connection_.get(),
            xcb_intern_atom(connection_.get(), 0, static_cast<std::uint16_t>(name.size()),
                            name.c_str()),
            nullptr));
        activeWindow_ = reply->atom;
        const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection_.get(), root_, XCB_CW_EVENT_MASK, &events);
        xcb_flush(connection_.get());
    }

    // Forgets the changes announced so far.
    void drain() {
        while (xcbOwned(xcb_poll_for_event(connection_.get()))) {
        }
    }

    // The first moment the active window passes the test, from now on, and the window; none
    // when it does not within the time given.
    std::optional<std::pair<Clock::time_point, std::uint32_t>>
    waitFor(const std::function<bool(std::uint32_t)>& test,
            std::chrono::milliseconds patience = giveUpAfter) {
        const auto limit = Clock::now() + patience;
        std::uint32_t active = current();
        while (!test(active)) {
            if (!waitForChange(limit)) {
                return std::nullopt;
            }
            active = current();
        }
        return std::pair{Clock::now(), active};
    }

    [[nodiscard]] std::uint32_t root() const { return root_; }
    [[nodiscard]] xcb_connection_t* connection() const { return connection_.get(); }

private:
    std::uint32_t current() {
        const auto reply = xcbOwned(xcb_get_property_reply(
            connection_.get(),
            xcb_get_property(connection_.get(), 0, root_, activeWindow_, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        return reply && xcb_get_property_value_length(reply.get()) == 4
                   ? *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()))
                   : 0;
    }

    bool waitForChange(Clock::time_point limit) {
        while (Clock::now() < limit) {
            while (const auto event = xcbOwned(xcb_poll_for_event(connection_.get()))) {
                const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(*event);
                if (platform::linux_desktop::eventType(*event) == XCB_PROPERTY_NOTIFY &&
                    notify.atom == activeWindow_) {
                    return true;
                }
            }
            pollfd socket{xcb_get_file_descriptor(connection_.get()), POLLIN, 0};
            ::poll(&socket, 1, 100);
        }
        return false;
    }

    platform::linux_desktop::XcbConnection connection_;
    std::uint32_t root_ = 0;
    std::uint32_t activeWindow_ = 0;
};

// A program that toggles a window, with its trigger, the window once known, and its figures.
struct Contender {
    const char* name;
    std::function<void()> trigger;
    std::uint32_t window = 0;
    std::vector<double> shows{};
    int missed = 0;
};

std::vector<pid_t>& startedCommands() {
    static std::vector<pid_t> started;
    return started;
}

// Starts the program with the arguments, as a desktop's launcher runs a command, not waiting.
void startCommand(std::vector<std::string> command) {
    std::vector<char*> arguments(command.size() + 1, nullptr);
    std::ranges::transform(command, arguments.begin(),
                           [](std::string& argument) { return argument.data(); });
    pid_t child = 0;
    if (::posix_spawn(&child, arguments.front(), nullptr, nullptr, arguments.data(), environ) ==
        0) {
        startedCommands().push_back(child);
    }
}

void reapCommands() {
    for (const pid_t command : startedCommands()) {
        ::waitpid(command, nullptr, 0);
    }
    startedCommands().clear();
}

void writeNote(const std::filesystem::path& config, std::size_t size) {
    std::filesystem::create_directories(config / "pinlet");
    std::ofstream file(config / "pinlet" / "preferences.json");
    file << R"({"noteText": ")";
    const std::string line = "The quick brown fox jumps over the lazy dog, again and again.\\n";
    for (std::size_t written = 0; written < size; written += line.size()) {
        file << line;
    }
    file << "\"}";
}

// The programs' own variables, set in ours so that the commands share them.
void setEnvironment(const x11::XSession& session, const Scenario& scenario) {
    const auto runtime = session.directory() / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("DISPLAY", session.display().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (session.directory() / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (scenario.wayland) {
        ::setenv("WAYLAND_DISPLAY", session.waylandDisplay().c_str(), 1);
        ::setenv("XDG_SESSION_TYPE", "wayland", 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
    }
}

// Pinlet takes requests, its hot key registered, once its socket is there; without a tray its
// own window opens a few seconds after the start.
void waitUntilPinletIsReady(const x11::XSession& session, const Scenario& scenario) {
    const auto runtime = session.directory() / "runtime";
    x11::waitUntil([&] {
        return std::ranges::any_of(std::filesystem::directory_iterator(runtime),
                                   [](auto& file) { return file.path().extension() == ".socket"; });
    });
    std::this_thread::sleep_for(std::chrono::seconds(scenario.wayland ? 4 : 1));
}

void activate(ActiveWindowWatch& watch, std::uint32_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    const std::string name = "_NET_ACTIVE_WINDOW";
    message.type =
        xcbOwned(xcb_intern_atom_reply(watch.connection(),
                                       xcb_intern_atom(watch.connection(), 0,
                                                       static_cast<std::uint16_t>(name.size()),
                                                       name.c_str()),
                                       nullptr))
            ->atom;
    message.data.data32[0] = 2;
    xcb_send_event(watch.connection(), 0, watch.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(watch.connection());
}

// Shows the contender's window and hides it again, the application in front being `other`.
void toggleTwice(ActiveWindowWatch& watch, Contender& contender, std::uint32_t other, bool record) {
    watch.drain();
    const auto triggered = Clock::now();
    contender.trigger();
    const auto shown = watch.waitFor(
        [&](std::uint32_t active) {
            return contender.window != 0 ? active == contender.window
                                         : active != other && active != 0;
        },
        contender.window != 0 ? missedAfter : giveUpAfter);
    if (shown && record) {
        contender.window = shown->second;
        contender.shows.push_back(
            std::chrono::duration<double, std::milli>(shown->first - triggered).count());
    } else if (shown) {
        contender.window = shown->second;
    } else {
        ++contender.missed;
    }
    contender.trigger();
    if (!watch.waitFor([&](std::uint32_t active) { return active == other; }, missedAfter)) {
        activate(watch, other);
        watch.waitFor([&](std::uint32_t active) { return active == other; });
    }
    reapCommands();
}

// The shortcut typed, or the program started with --toggle.
std::function<void()> trigger(const Scenario& scenario, const char* program,
                              bench_support::XTestKeyboard& keys) {
    if (scenario.byCommand) {
        return [program] { startCommand({program, "--toggle"}); };
    }
    return [&keys] {
        keys.pressCombination();
        keys.releaseKey();
        keys.releaseModifiers();
    };
}

std::pair<double, double> percentiles(std::vector<double> samples) {
    std::ranges::sort(samples);
    const auto at = [&](double fraction) {
        return samples[static_cast<std::size_t>(fraction *
                                                static_cast<double>(samples.size() - 1))];
    };
    return {at(0.5), at(0.95)};
}

void run(const Scenario& scenario, int rounds) {
    x11::XSession session({.windowManager = !scenario.wayland,
                           .trayHost = !scenario.wayland,
                           .compositor = scenario.compositor,
                           .wayland = scenario.wayland});
    setEnvironment(session, scenario);
    writeNote(session.directory() / "config", scenario.noteSize);
    session.start({TOGGLE_FLOOR_BINARY});
    session.start({PINLET_BINARY});
    waitUntilPinletIsReady(session, scenario);

    ActiveWindowWatch watch(session.display());
    const std::uint32_t other = session.createWindow();
    activate(watch, other);
    watch.waitFor([&](std::uint32_t active) { return active == other; });
    bench_support::XTestKeyboard pinletKeys(session.display());
    bench_support::XTestKeyboard floorKeys(session.display(), keyM);
    std::array<Contender, 2> contenders{
        Contender{.name = "floor", .trigger = trigger(scenario, TOGGLE_FLOOR_BINARY, floorKeys)},
        Contender{.name = "pinlet", .trigger = trigger(scenario, PINLET_BINARY, pinletKeys)}};
    for (int round = -5; round < rounds; ++round) {
        // Alternating which goes first keeps any effect of the order off the ratio.
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            toggleTwice(watch, contenders.at((turn + static_cast<std::size_t>(round + 5)) % 2),
                        other, round >= 0);
        }
    }
    const auto [floorMedian, floorP95] = percentiles(contenders[0].shows);
    const auto [pinletMedian, pinletP95] = percentiles(contenders[1].shows);
    std::printf("%-40s floor %5.2f / %5.2f ms  pinlet %5.2f / %5.2f ms  ratio %4.2fx / %4.2fx",
                scenario.name, floorMedian, floorP95, pinletMedian, pinletP95,
                pinletMedian / floorMedian, pinletP95 / floorP95);
    std::printf("  (missed: floor %d, pinlet %d)\n", contenders[0].missed, contenders[1].missed);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string only = argc > 2 ? argv[2] : "";
    const std::array<Scenario, 6> scenarios{
        Scenario{.name = "shortcut, short note"},
        Scenario{.name = "shortcut, 1 MiB note", .noteSize = largeNote},
        Scenario{.name = "shortcut, short note, picom", .compositor = true},
        Scenario{.name = "shortcut, 1 MiB note, picom", .compositor = true, .noteSize = largeNote},
        Scenario{.name = "command, short note", .byCommand = true},
        Scenario{
            .name = "command, short note, mutter (XWayland)", .wayland = true, .byCommand = true}};
    std::printf("median / p95 from trigger to window active, %d interleaved rounds\n", rounds);
    for (const Scenario& scenario : scenarios) {
        if (std::string(scenario.name).find(only) != std::string::npos) {
            run(scenario, rounds);
        }
    }
    return 0;
}
