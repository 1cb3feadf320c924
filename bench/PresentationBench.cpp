#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/Shortcut.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "tests/support/FakeLibraryServices.h"

#include <benchmark/benchmark.h>

namespace {

using KeyboardShortcuts::Key;
using KeyboardShortcuts::Shortcut;
using platform::linux_desktop::XkbKeyboardLayout;
using platform::linux_desktop::XkbKeymap;
namespace Flags = platform::ModifierFlags;

// The library installed over fakes, showing keys through a layout built from names, while the
// benchmark runs.
class LoadedLayout {
public:
    explicit LoadedLayout(const std::string& layouts)
        : layout_(XkbKeymap::fromNames(layouts).value()) {}

private:
    XkbKeyboardLayout layout_;
    test_support::FakeLibraryServices library_{
        layout_, platform::linux_desktop::displayKeyEventTranslator()};
};

void describe(benchmark::State& state, const std::string& layouts, const Shortcut& shortcut) {
    const LoadedLayout layout(layouts);
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(KeyboardShortcuts::presentableDescription(shortcut));
    }
}

// What the recorder and the menus pay for each shortcut they show, the layout already loaded.
void BM_DescribeLetter(benchmark::State& state) {
    describe(state, "us", Shortcut(Key::n, Flags::control | Flags::option));
}
BENCHMARK(BM_DescribeLetter)->Repetitions(9)->ReportAggregatesOnly(true);

// The same where the current group cannot type Latin letters and another one stands in.
void BM_DescribeLetterThroughLatinGroup(benchmark::State& state) {
    describe(state, "ru,us", Shortcut(Key::n, Flags::control | Flags::option));
}
BENCHMARK(BM_DescribeLetterThroughLatinGroup)->Repetitions(9)->ReportAggregatesOnly(true);

// A special key whose name comes from the string tables.
void BM_DescribeSpace(benchmark::State& state) {
    describe(state, "us", Shortcut(Key::space, Flags::command));
}
BENCHMARK(BM_DescribeSpace)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_ReadStoredShortcut(benchmark::State& state) {
    const std::string stored = R"({"carbonKeyCode":45,"carbonModifiers":6144})";
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(Shortcut::fromJson(stored));
    }
}
BENCHMARK(BM_ReadStoredShortcut)->Repetitions(9)->ReportAggregatesOnly(true);

// What a layout change costs once the new keymap is at hand: reading its groups and keys.
void BM_ReplaceKeymap(benchmark::State& state) {
    XkbKeyboardLayout layout(XkbKeymap::fromNames("us").value());
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        auto keymap = XkbKeymap::fromNames("fr").value();
        state.ResumeTiming();
        layout.setKeymap(std::move(keymap), 0);
    }
}
BENCHMARK(BM_ReplaceKeymap)->Unit(benchmark::kMicrosecond)->Iterations(50);

} // namespace

BENCHMARK_MAIN();
