// The whole application on a private X server: from the release of Ctrl+Alt+N (sent through
// XTest) to the note panel mapped, then also focused, and, on the next release, to the panel
// gone; from the portal's Deactivated signal (sent by the test backend) to the panel
// shown and focused; from the start of `pinlet --toggle` to the panel shown and focused, on X11
// and on a Wayland desktop. Each is reported as median and 95th percentile over single toggles.
#include "bench/XTestKeyboard.h"
#include "tests/x11/support/DesktopPortal.h"
#include "tests/x11/support/XSession.h"

#include <benchmark/benchmark.h>
#include <chrono>

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
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(session.directory().string()));
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
