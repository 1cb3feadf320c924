// The whole application on a private X server: from the release of Ctrl+Alt+N (sent through
// XTest) to the note panel mapped, then also focused, and, on the next release, to the panel
// gone; from the portal's Deactivated signal (sent by the test backend) to the panel
// shown and focused; from the start of `pinlet --toggle` to the panel shown and focused, on X11
// and on a Wayland desktop; on GNOME Shell, from Ctrl+Alt+N going down to the panel shown and
// focused through gsd-media-keys and `pinlet --toggle`. Each is reported as median and 95th
// percentile over single toggles.
#include "bench/XTestKeyboard.h"
#include "platform/linux/FileDescriptor.h"
#include "tests/x11/support/DesktopPortal.h"
#include "tests/x11/support/XSession.h"

#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <linux/input-event-codes.h>
#include <sys/inotify.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace x11 = test_support::x11;

constexpr int toggles = 200;
constexpr int requestedShows = 100;
constexpr auto giveUpAfter = std::chrono::seconds(5);

// Waits for the condition, polling the server; the time it first held.
template <typename Condition> Clock::time_point waitFor(Condition condition) {
    const auto limit = Clock::now() + giveUpAfter;
    while (!condition()) {
        if (Clock::now() > limit) {
            throw std::runtime_error("the panel did not follow the shortcut");
        }
    }
    return Clock::now();
}

double microsecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

QProcessEnvironment pinletEnvironment(const x11::XSession& session,
                                      const QProcessEnvironment& desktop = {}) {
    QProcessEnvironment environment = desktop;
    environment.insert("XDG_CONFIG_HOME",
                       QString::fromStdString((session.directory() / "config").string()));
    // Where GNOME's session keeps it too, so that the command its shortcut runs finds Pinlet.
    const auto runtime = session.directory() / "runtime";
    std::filesystem::create_directories(runtime);
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
}

void startPinlet(x11::XSession& session, const QProcessEnvironment& environment) {
    session.start({PINLET_BINARY}, environment);
    x11::waitUntil([&] {
        return session.run({"xdotool", "search", "--onlyvisible", "--classname", "pinlet"})
            .has_value();
    });
}

// Shows the panel through the request, which answers the time it was made, then hides it the
// same way; the times from each request to the panel shown and focused.
template <typename Request>
std::vector<double> showLatencies(x11::XSession& session, Request request) {
    std::vector<double> shows;
    const auto other = session.createWindow();
    for (int show = 0; show < requestedShows; ++show) {
        const auto requested = request();
        shows.push_back(microsecondsBetween(requested, waitFor([&] {
                                                const auto active = session.activeWindow();
                                                return active && active != other &&
                                                       session.isViewable(*active);
                                            })));
        request();
        waitFor([&] { return session.activeWindow() == other; });
    }
    return shows;
}

void portalToggleLatency(benchmark::State& state) {
    x11::XSession session({.trayHost = true});
    x11::DesktopPortal portal(session, x11::DesktopPortal::Backend::binding);
    startPinlet(session, pinletEnvironment(session, portal.environment()));
    for ([[maybe_unused]] auto _ : state) {
        bench_support::reportPercentiles(state, showLatencies(session, [&] {
                                             portal.send("Activated togglePanel");
                                             return portal.send("Deactivated togglePanel");
                                         }));
    }
}
BENCHMARK(portalToggleLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

// A process started and gone each time, its answer awaited as a desktop's launcher would not: on
// Xvfb with openbox (0), and through XWayland on GNOME's compositor without a screen (1).
void commandToggleLatency(benchmark::State& state) {
    const bool onWayland = state.range(0) == 1;
    x11::XSession session(
        {.windowManager = !onWayland, .trayHost = !onWayland, .wayland = onWayland});
    QProcessEnvironment desktop;
    if (onWayland) {
        desktop.insert("WAYLAND_DISPLAY", QString::fromStdString(session.waylandDisplay()));
        desktop.insert("XDG_SESSION_TYPE", "wayland");
        desktop.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    }
    const QProcessEnvironment environment = pinletEnvironment(session, desktop);
    startPinlet(session, environment);
    for ([[maybe_unused]] auto _ : state) {
        bench_support::reportPercentiles(
            state, showLatencies(session, [&] {
                const auto started = Clock::now();
                session.start({PINLET_BINARY, "--toggle"}, environment);
                return started;
            }));
    }
}
BENCHMARK(commandToggleLatency)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Whether the program was opened (executed) or closed (its process gone) since last asked: inotify
// on its file tells where GNOME's part ends and the running Pinlet's begins.
class ProgramWatch {
public:
    ProgramWatch() { ::inotify_add_watch(fd_.get(), PINLET_BINARY, IN_OPEN | IN_CLOSE_NOWRITE); }
    std::uint32_t events() const {
        std::array<char, 4096> buffer{};
        std::uint32_t seen = 0;
        for (ssize_t size = 0; (size = ::read(fd_.get(), buffer.data(), buffer.size())) > 0;) {
            for (ssize_t at = 0; at < size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                seen |= event->mask;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return seen;
    }

private:
    platform::linux_desktop::FileDescriptor fd_{::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)};
};

// The split: from the key down to `pinlet --toggle` executed (GNOME Shell and gsd-media-keys),
// from there to the client gone (its start, the request and the toggle carried out), and from
// there to the panel focused (the running Pinlet's window through XWayland and mutter).
void gnomeShortcutToggleLatency(benchmark::State& state) {
    x11::XSession session({.windowManager = false, .wayland = true, .gnomeShell = true});
    QProcessEnvironment desktop;
    desktop.insert("QT_QPA_PLATFORM", "");
    session.start({PINLET_BINARY}, pinletEnvironment(session, desktop));
    // Pinlet's window, without a tray, has the keyboard until the terminal comes.
    x11::waitUntil([&] { return session.activeWindow().has_value(); });
    session.start({"weston-terminal"});
    x11::waitUntil([&] { return !session.activeWindow(); });
    const std::vector<std::uint32_t> controlAltN{KEY_LEFTCTRL, KEY_LEFTALT, KEY_N};
    // Until gsd-media-keys has taken Pinlet's binding from the settings.
    x11::waitUntil([&] {
        session.pressKeys(controlAltN);
        return x11::waitUntil([&] { return session.activeWindow().has_value(); }, 2000);
    });
    session.pressKeys(controlAltN);
    waitFor([&] { return !session.activeWindow(); });
    const ProgramWatch program;
    std::array<std::vector<double>, 4> parts; // whole, GNOME, client, Pinlet
    for ([[maybe_unused]] auto _ : state) {
        for (int show = 0; show < 50; ++show) {
            program.events();
            const auto pressed = Clock::now();
            session.pressKeys(controlAltN);
            std::array<Clock::time_point, 2> marks{pressed, pressed};
            const auto shown = waitFor([&] {
                const std::uint32_t seen = program.events();
                for (const auto& [index, mask] : {std::pair{0, IN_OPEN}, {1, IN_CLOSE_NOWRITE}}) {
                    marks.at(index) = (seen & mask) != 0 ? Clock::now() : marks.at(index);
                }
                return session.activeWindow().has_value();
            });
            for (const auto& [part, from, to] : {std::tuple{0, pressed, shown},
                                                 {1, pressed, marks[0]},
                                                 {2, marks[0], marks[1]},
                                                 {3, marks[1], shown}}) {
                parts.at(part).push_back(microsecondsBetween(from, to));
            }
            session.pressKeys(controlAltN);
            waitFor([&] { return !session.activeWindow(); });
        }
    }
    for (const auto& [part, prefix] :
         {std::pair{0, ""}, {1, "gnome_"}, {2, "client_"}, {3, "pinlet_"}}) {
        bench_support::reportPercentiles(state, parts.at(part), prefix);
    }
}
BENCHMARK(gnomeShortcutToggleLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

void toggleLatency(benchmark::State& state) {
    x11::XSession session({.trayHost = true});
    startPinlet(session, pinletEnvironment(session));
    bench_support::XTestKeyboard keyboard(session.display());

    std::vector<double> shows;
    std::vector<double> hides;
    std::vector<double> mapped;
    std::optional<x11::WindowId> panel;
    for ([[maybe_unused]] auto _ : state) {
        for (int toggle = 0; toggle < toggles; ++toggle) {
            const auto before = session.activeWindow();
            keyboard.pressCombination();
            keyboard.releaseKey();
            const auto released = Clock::now();
            if (toggle % 2 == 0) {
                if (panel) {
                    mapped.push_back(microsecondsBetween(
                        released, waitFor([&] { return session.isViewable(*panel); })));
                }
                const auto shown = waitFor([&] {
                    const auto active = session.activeWindow();
                    const bool focused = panel ? active == panel : active && active != before;
                    return focused && session.isViewable(*active);
                });
                panel = session.activeWindow();
                shows.push_back(microsecondsBetween(released, shown));
            } else {
                hides.push_back(microsecondsBetween(
                    released, waitFor([&] { return !session.isViewable(*panel); })));
            }
            keyboard.releaseModifiers();
        }
    }
    bench_support::reportPercentiles(state, shows, "show_");
    bench_support::reportPercentiles(state, hides, "hide_");
    bench_support::reportPercentiles(state, mapped, "mapped_");
}
BENCHMARK(toggleLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
