// The keystroke path with a 1 MiB note: one character typed into the editor, through
// NoteStore.text and its observers, into the preferences store (whose file writes are
// coalesced and not part of a keystroke), and the longest stall of the main thread while
// typing, file writes included.
#include "Pinlet/NoteStore.h"
#include "Pinlet/NoteTextView.h"
#include "Pinlet/PanelController.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LargeBufferAllocation.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtPasteboard.h"
#include "tests/support/FakeWorkspace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <ctime>

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

// The panel's editor holding a 1 MiB note, kept in a real preferences store with its own write
// timer, and a cursor in the middle of the note.
class MegabyteNotePanel {
public:
    MegabyteNotePanel() {
        notes_.setText(megabyteNote());
        controller_.setUp();
        controller_.show();
        cursor_ = QTextCursor(controller_.textView()->document());
        cursor_.setPosition(noteSize / 2);
    }

    void type() { cursor_.insertText(QStringLiteral("k")); }
    [[nodiscard]] qsizetype noteChars() const { return notes_.text().size(); }

private:
    QTemporaryDir directory_;
    platform::linux_desktop::JsonPreferencesStore preferences_{
        (directory_.path() + QStringLiteral("/preferences.json")).toStdString()};
    QObject mainQueueContext_;
    platform::linux_desktop::QtMainQueue mainQueue_{mainQueueContext_};
    platform::linux_desktop::QtPasteboard pasteboard_;
    test_support::FakeWorkspace workspace_;
    pinlet::NoteStore notes_{preferences_};
    pinlet::PanelController controller_{notes_,
                                        {workspace_, pasteboard_, mainQueue_, preferences_}};
    QTextCursor cursor_;
};

void typingIntoAMegabyteNote(benchmark::State& state) {
    MegabyteNotePanel panel;
    for ([[maybe_unused]] auto _ : state) {
        panel.type();
    }
    state.counters["noteChars"] = static_cast<double>(panel.noteChars());
}
BENCHMARK(typingIntoAMegabyteNote)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

std::int64_t mainThreadCpuNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// The longest the main thread is held up at a stretch while someone types a key every 20 ms for
// 3 s, the store writing the note behind: a heartbeat ticks every millisecond, and its longest
// gap beyond that millisecond is a stutter the user sees. On a busy machine other processes
// lengthen the gaps too, so the most CPU time the main thread itself spent in one gap is
// reported as well.
void longestStallWhileTyping(benchmark::State& state) {
    constexpr auto keystrokeInterval = std::chrono::milliseconds(20);
    constexpr int keystrokes = 150;
    MegabyteNotePanel panel;
    for ([[maybe_unused]] auto _ : state) {
        QEventLoop loop;
        QTimer keystroke;
        keystroke.setTimerType(Qt::PreciseTimer);
        int typed = 0;
        QObject::connect(&keystroke, &QTimer::timeout, [&] {
            panel.type();
            if (++typed == keystrokes) {
                loop.quit();
            }
        });
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QElapsedTimer sinceBeat;
        std::int64_t cpuAtBeat = 0;
        qint64 longestGapNs = 0;
        std::int64_t longestBusyNs = 0;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            longestGapNs = std::max(longestGapNs, sinceBeat.nsecsElapsed());
            sinceBeat.restart();
            const std::int64_t cpu = mainThreadCpuNanoseconds();
            longestBusyNs = std::max(longestBusyNs, cpu - cpuAtBeat);
            cpuAtBeat = cpu;
        });
        // Showing the panel and the editor's one-off work at the first keystroke are no typing.
        panel.type();
        QCoreApplication::processEvents();
        keystroke.start(keystrokeInterval);
        heartbeat.start(1);
        sinceBeat.start();
        cpuAtBeat = mainThreadCpuNanoseconds();
        loop.exec();
        state.counters["longestStallMs"] = static_cast<double>(longestGapNs) / 1e6 - 1;
        state.counters["longestBusyMs"] = static_cast<double>(longestBusyNs) / 1e6;
    }
}
BENCHMARK(longestStallWhileTyping)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
