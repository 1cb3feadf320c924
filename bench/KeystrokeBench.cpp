// The keystroke path with a 1 MiB note: one character typed into the editor, through
// NoteStore.text and its observers, into the preferences store (whose file writes are
// coalesced and not part of a keystroke).
#include "Pinlet/NoteStore.h"
#include "Pinlet/NoteTextView.h"
#include "Pinlet/PanelController.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LargeBufferAllocation.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtPasteboard.h"
#include "tests/support/FakeWorkspace.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <benchmark/benchmark.h>

namespace {

constexpr int noteSize = 1 << 20;

QString megabyteNote() {
    const QString line =
        QStringLiteral("The quick brown fox jumps over the lazy dog, again. 0123456789\n");
    QString note;
    while (note.size() < noteSize) {
        note += line;
    }
    note.truncate(noteSize);
    return note;
}

void typingIntoAMegabyteNote(benchmark::State& state) {
    const QTemporaryDir directory;
    platform::linux_desktop::JsonPreferencesStore preferences(
        (directory.path() + QStringLiteral("/preferences.json")).toStdString());
    preferences.set("noteText", megabyteNote().toStdString());
    QObject mainQueueContext;
    platform::linux_desktop::QtMainQueue mainQueue(mainQueueContext);
    platform::linux_desktop::QtPasteboard pasteboard;
    test_support::FakeWorkspace workspace;
    pinlet::NoteStore store(preferences);
    pinlet::PanelController controller(store, {workspace, pasteboard, mainQueue, preferences});
    controller.setUp();
    controller.show();

    QTextCursor cursor(controller.textView()->document());
    cursor.setPosition(noteSize / 2);
    for (auto _ : state) {
        cursor.insertText(QStringLiteral("k"));
    }
    benchmark::DoNotOptimize(store.text().size());
    state.counters["noteChars"] = static_cast<double>(store.text().size());
}
BENCHMARK(typingIntoAMegabyteNote)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    platform::linux_desktop::keepLargeBuffersInHeap(); // as the application does
    const QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
