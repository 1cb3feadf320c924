// The X11 hot-key service on a private X server: how long a hot-key release takes from the X
// event (a release sent through XTest) to the installed handler, and what the service itself
// spends reading and dispatching that event. Each is reported as median and 95th percentile of
// single releases, with one or with fifty combinations registered.
#include "bench/XTestKeyboard.h"
#include "platform/linux/x11/X11HotKeyService.h"
#include "platform/linux/x11/X11UserTime.h"
#include "tests/x11/support/XSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <xcb/xcb.h>

namespace {

using platform::HotKeyModifier::control;
using platform::HotKeyModifier::option;
using platform::linux_desktop::X11HotKeyService;
using platform::linux_desktop::X11UserTime;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t keyN = 45;
constexpr int releases = 300;
constexpr std::uint32_t signature = 0x5150484B;

// Virtual key codes of the letters and digits, to fill the table with other combinations.
constexpr std::array<std::uint32_t, 49> otherKeys{
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  11, 12, 13, 14, 15, 16, 17,
    18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34,
    35, 37, 38, 39, 40, 41, 42, 43, 44, 46, 47, 50, 96, 97, 98};

struct Session {
    test_support::x11::XSession server{{.windowManager = false}};
    X11UserTime userTime;
    X11HotKeyService service{userTime, server.display()};
    bench_support::XTestKeyboard keyboard{server.display()};
    QEventLoop loop;
    QTimer timeout;
    std::uint32_t lastKind = 0;
    Clock::time_point handlerCalled;

    explicit Session(std::size_t registered) {
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        const auto handler = service.installEventHandler([this](const platform::KeyboardEvent& e) {
            handlerCalled = Clock::now();
            lastKind = e.kind;
            loop.quit();
            return platform::HotKeyStatus::noError;
        });
        const std::array kinds{
            platform::EventTypeSpec{platform::keyboardEventClass,
                                    platform::KeyboardEventKind::hotKeyPressed},
            platform::EventTypeSpec{platform::keyboardEventClass,
                                    platform::KeyboardEventKind::hotKeyReleased}};
        service.addEventTypes(*handler, kinds);
        service.registerHotKey(keyN, control | option, {signature, 1});
        for (std::size_t index = 1; index < registered; ++index) {
            service.registerHotKey(otherKeys.at(index - 1), control | option,
                                   {signature, static_cast<std::uint32_t>(index + 1)});
        }
    }

    // Runs the Qt event loop until the handler has seen the kind; false after a second.
    bool waitInEventLoop(std::uint32_t kind) {
        timeout.start(1000);
        while (lastKind != kind && timeout.isActive()) {
            loop.exec();
        }
        timeout.stop();
        return lastKind == kind;
    }
};

double microsecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// From the release sent to the X server to the handler, through the Qt event loop.
void releaseToHandler(benchmark::State& state) {
    Session session(static_cast<std::size_t>(state.range(0)));
    std::vector<double> samples;
    for (auto _ : state) {
        session.lastKind = 0;
        session.keyboard.pressCombination();
        if (!session.waitInEventLoop(platform::KeyboardEventKind::hotKeyPressed)) {
            state.SkipWithError("the press did not arrive");
            break;
        }
        const auto sent = Clock::now();
        session.keyboard.releaseKey();
        if (!session.waitInEventLoop(platform::KeyboardEventKind::hotKeyReleased)) {
            state.SkipWithError("the release did not arrive");
            break;
        }
        samples.push_back(microsecondsBetween(sent, session.handlerCalled));
        state.SetIterationTime(samples.back() / 1e6);
        session.keyboard.releaseModifiers();
    }
    bench_support::reportPercentiles(state, samples);
}
BENCHMARK(releaseToHandler)
    ->Arg(1)
    ->Arg(50)
    ->Iterations(releases)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The service's share: the one dispatch call that reads the release and calls the handler.
void dispatchOfARelease(benchmark::State& state) {
    Session session(static_cast<std::size_t>(state.range(0)));
    std::vector<double> samples;
    const auto dispatchUntil = [&](std::uint32_t kind) {
        const auto deadline = Clock::now() + std::chrono::seconds(1);
        Clock::time_point started;
        while (session.lastKind != kind && Clock::now() < deadline) {
            started = Clock::now();
            session.service.dispatchEvents();
        }
        return session.lastKind == kind ? std::optional(started) : std::nullopt;
    };
    for (auto _ : state) {
        session.lastKind = 0;
        session.keyboard.pressCombination();
        const auto pressed = dispatchUntil(platform::KeyboardEventKind::hotKeyPressed);
        session.keyboard.releaseKey();
        const auto released = dispatchUntil(platform::KeyboardEventKind::hotKeyReleased);
        if (!pressed || !released) {
            state.SkipWithError("the combination did not arrive");
            break;
        }
        samples.push_back(microsecondsBetween(*released, session.handlerCalled));
        state.SetIterationTime(samples.back() / 1e6);
        session.keyboard.releaseModifiers();
    }
    bench_support::reportPercentiles(state, samples);
}
BENCHMARK(dispatchOfARelease)
    ->Arg(1)
    ->Arg(50)
    ->Iterations(releases)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
