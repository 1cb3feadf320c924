#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/ModifierFlags.h"
#include "platform/linux/x11/DisplayKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "tests/support/FakeLibraryServices.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t controlOption =
    KeyboardShortcuts::CarbonModifiers::control | KeyboardShortcuts::CarbonModifiers::option;

// One release of a registered shortcut, from the hot-key service's event to the handler, with
// 50 names stored and handled: dispatch reads every handled name's shortcut from the store.
void BM_DispatchReleaseAmongFiftyNames(benchmark::State& state) {
    test_support::FakeLibraryServices library(platform::linux_desktop::displayKeyboardLayout(),
                                              platform::linux_desktop::displayKeyEventTranslator());
    auto& hotKeys = library.hotKeys;

    constexpr int nameCount = 50;
    int calls = 0;
    for (int index = 0; index < nameCount; ++index) {
        const KeyboardShortcuts::Name name("name" + std::to_string(index),
                                           KeyboardShortcuts::Shortcut(index, controlOption));
        KeyboardShortcuts::onKeyUp(name, [&calls] { ++calls; });
    }
    for ([[maybe_unused]] auto _ : state) {
        hotKeys.release(nameCount / 2, controlOption);
    }
    if (calls != static_cast<int>(state.iterations())) {
        state.SkipWithError("the handler did not run once per release");
    }
}
BENCHMARK(BM_DispatchReleaseAmongFiftyNames)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
