// What the recorder asks of one key press before it stores a shortcut: the modifier requirement,
// Pinlet's command menu, the disallowed check and the system's hot keys, these from a private X
// server (a probe grab), the installed GNOME schemas (keyfile backend) and a KDE file of 200
// shortcuts.
#include "KeyboardShortcuts/ConflictChecks.h"
#include "KeyboardShortcuts/PlatformServices.h"
#include "Pinlet/MainMenu.h"
#include "platform/NotificationCenter.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "platform/linux/x11/X11HotKeyService.h"
#include "platform/linux/x11/X11SystemHotKeys.h"
#include "platform/linux/x11/X11UserTime.h"
#include "tests/support/FakeMainQueue.h"
#include "tests/support/FakePreferencesStore.h"
#include "tests/x11/support/XSession.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <fstream>

namespace {

namespace desktop = platform::linux_desktop;
using KeyboardShortcuts::Shortcut;

// 200 actions in the shape KDE writes them: active shortcuts, defaults, a friendly name.
void writeKdeShortcuts(const std::filesystem::path& configHome) {
    std::ofstream file(configHome / "kglobalshortcutsrc");
    const char* const modifiers[] = {"Meta+", "Ctrl+Alt+", "Meta+Shift+", "Ctrl+Shift+"};
    for (int action = 0; action < 200; ++action) {
        if (action % 25 == 0) {
            file << "[component" << action / 25 << "]\n_k_friendly_name=Component\n";
        }
        const char key = static_cast<char>('A' + action % 26);
        file << "Action " << action << '=' << modifiers[action % 4] << "F" << 1 + action % 12
             << '\t' << modifiers[(action + 1) % 4] << key << ",none,Do thing " << action << '\n';
    }
}

struct Desktop {
    test_support::x11::XSession server{{.windowManager = false}};
    desktop::X11UserTime userTime;
    desktop::X11HotKeyService hotKeys{userTime, server.display()};
    desktop::XkbKeyboardLayout layout{desktop::XkbKeymap::fromNames("us").value()};
    desktop::X11SystemHotKeys systemHotKeys{hotKeys, layout};
    test_support::FakePreferencesStore preferences;
    platform::NotificationCenter notifications;
    test_support::FakeMainQueue mainQueue;
    std::unique_ptr<QMenu> menu = pinlet::makeMainMenu();

    Desktop() {
        KeyboardShortcuts::installPlatformServices({preferences, notifications, mainQueue, hotKeys,
                                                    layout, desktop::displayKeyEventTranslator(),
                                                    systemHotKeys});
    }
};

void BM_ConflictChecksOfOneKeyPress(benchmark::State& state) {
    static Desktop desktop;
    platform::Event event;
    event.keyCode = 17; // t
    event.modifierFlags = platform::ModifierFlags::control | platform::ModifierFlags::option;
    for ([[maybe_unused]] auto _ : state) {
        const Shortcut shortcut = *Shortcut::fromEvent(event);
        benchmark::DoNotOptimize(KeyboardShortcuts::meetsModifierRequirement(event));
        benchmark::DoNotOptimize(
            KeyboardShortcuts::menuItemWithMatchingShortcut(shortcut, *desktop.menu));
        benchmark::DoNotOptimize(KeyboardShortcuts::isDisallowed(shortcut));
        benchmark::DoNotOptimize(KeyboardShortcuts::isUsedBySystem(shortcut));
    }
}
BENCHMARK(BM_ConflictChecksOfOneKeyPress)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    const QTemporaryDir configHome;
    writeKdeShortcuts(configHome.path().toStdString());
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
