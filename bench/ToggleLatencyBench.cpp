// The whole application on a private X server: from the release of Ctrl+Alt+N (sent through
// XTest) to the note panel mapped, then also focused, and, on the next release, to the panel
// gone. Each is reported as median and 95th percentile over single toggles.
#include "bench/XTestKeyboard.h"
#include "platform/linux/XcbPointer.h"
#include "tests/x11/support/XSession.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;
using platform::linux_desktop::xcbOwned;
namespace x11 = test_support::x11;

constexpr int toggles = 200;
constexpr auto giveUpAfter = std::chrono::seconds(5);

// Reads the window manager's view of the display on a connection of its own.
class Observer {
public:
    explicit Observer(const std::string& display)
        : connection_(xcb_connect(display.c_str(), nullptr)),
          root_(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root),
          activeWindowAtom_(atom("_NET_ACTIVE_WINDOW")) {}
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;
    ~Observer() { xcb_disconnect(connection_); }

    [[nodiscard]] xcb_window_t activeWindow() const {
        const auto reply = xcbOwned(xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, root_, activeWindowAtom_, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) < 4) {
            return XCB_WINDOW_NONE;
        }
        xcb_window_t window = XCB_WINDOW_NONE;
        std::memcpy(&window, xcb_get_property_value(reply.get()), sizeof window);
        return window;
    }

    [[nodiscard]] bool isViewable(xcb_window_t window) const {
        const auto reply = xcbOwned(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr));
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

private:
    xcb_atom_t atom(const char* name) const {
        const auto reply = xcbOwned(xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_atom_t activeWindowAtom_;
};

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

void toggleLatency(benchmark::State& state) {
    x11::XSession session({.trayHost = true});
    auto pinlet = session.start({PINLET_BINARY},
                                {{"XDG_CONFIG_HOME", (session.directory() / "config").string()},
                                 {"QT_QPA_PLATFORM", "xcb"}});
    x11::waitUntil([&] {
        return !session.run({"xdotool", "search", "--onlyvisible", "--classname", "pinlet"})
                    .output.empty();
    });
    bench_support::XTestKeyboard keyboard(session.display());
    const Observer observer(session.display());

    std::vector<double> shows;
    std::vector<double> hides;
    std::vector<double> mapped;
    xcb_window_t panel = XCB_WINDOW_NONE;
    for (auto _ : state) {
        for (int toggle = 0; toggle < toggles; ++toggle) {
            const xcb_window_t before = observer.activeWindow();
            keyboard.pressCombination();
            keyboard.releaseKey();
            const auto released = Clock::now();
            if (toggle % 2 == 0) {
                if (panel != XCB_WINDOW_NONE) {
                    mapped.push_back(microsecondsBetween(
                        released, waitFor([&] { return observer.isViewable(panel); })));
                }
                const auto shown = waitFor([&] {
                    const xcb_window_t active = observer.activeWindow();
                    const bool focused = panel == XCB_WINDOW_NONE
                                             ? active != before && active != XCB_WINDOW_NONE
                                             : active == panel;
                    return focused && observer.isViewable(active);
                });
                panel = observer.activeWindow();
                shows.push_back(microsecondsBetween(released, shown));
            } else {
                hides.push_back(microsecondsBetween(
                    released, waitFor([&] { return !observer.isViewable(panel); })));
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
