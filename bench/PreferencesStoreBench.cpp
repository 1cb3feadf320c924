// The cost of keeping a large note in the preferences store: a set() per keystroke, the whole
// file written once per burst of changes, loading at start-up, and how often the file is
// written while someone types into a 1 MiB note.
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/PreferencesJson.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/stat.h>

namespace {

using platform::linux_desktop::JsonPreferencesStore;
using namespace std::chrono_literals;

constexpr std::size_t mebibyte = 1U << 20U;

// Lines of prose with the quotes, backslashes and tabs that JSON must escape.
std::string largeNote() {
    const std::string line = "A line of the note, with \"quotes\", a\tTab and a C:\\path; ";
    std::string note;
    note.reserve(mebibyte + line.size());
    while (note.size() < mebibyte) {
        note += line;
        note += '\n';
    }
    note.resize(mebibyte);
    return note;
}

std::filesystem::path preferencesIn(const QTemporaryDir& directory) {
    return std::filesystem::path(directory.path().toStdString()) / "preferences.json";
}

void setBytes(benchmark::State& state, std::size_t perIteration) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

// What the note model pays per keystroke: its own text stays, the store gets a copy.
void BM_SetNoteCopied(benchmark::State& state) {
    const QTemporaryDir directory;
    JsonPreferencesStore store(preferencesIn(directory), 24h);
    const std::string note = largeNote();
    for ([[maybe_unused]] auto _ : state) {
        store.set("noteText", note);
    }
    setBytes(state, mebibyte);
}
BENCHMARK(BM_SetNoteCopied)->Unit(benchmark::kMicrosecond);

// set() itself: the value moved in, the previous one released.
void BM_SetNoteMoved(benchmark::State& state) {
    const QTemporaryDir directory;
    JsonPreferencesStore store(preferencesIn(directory), 24h);
    const std::string note = largeNote();
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        std::string copy = note;
        state.ResumeTiming();
        store.set("noteText", std::move(copy));
    }
}
BENCHMARK(BM_SetNoteMoved)->Unit(benchmark::kMicrosecond);

void BM_SerializeNote(benchmark::State& state) {
    const platform::linux_desktop::PreferencesDocument document{
        {{"noteText", largeNote()}, {"fontSize", 13.0}, {"isPanelVisible", true}}, {}};
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(platform::linux_desktop::toPreferencesJson(document));
    }
    setBytes(state, mebibyte);
}
BENCHMARK(BM_SerializeNote)->Unit(benchmark::kMicrosecond);

// One coalesced write: serialise, write, fsync, rename, fsync the directory.
void BM_WriteStoreWithNote(benchmark::State& state) {
    const QTemporaryDir directory;
    JsonPreferencesStore store(preferencesIn(directory), 24h);
    store.set("noteText", largeNote());
    double fontSize = 13;
    for ([[maybe_unused]] auto _ : state) {
        store.set("fontSize", ++fontSize);
        if (!store.flush()) {
            state.SkipWithError("the write failed");
        }
    }
    setBytes(state, mebibyte);
}
BENCHMARK(BM_WriteStoreWithNote)->Unit(benchmark::kMillisecond);

void BM_LoadStoreWithNote(benchmark::State& state) {
    const QTemporaryDir directory;
    JsonPreferencesStore(preferencesIn(directory)).set("noteText", largeNote());
    for ([[maybe_unused]] auto _ : state) {
        const JsonPreferencesStore store(preferencesIn(directory));
        benchmark::DoNotOptimize(store.hasUnsavedChanges());
    }
    setBytes(state, mebibyte);
}
BENCHMARK(BM_LoadStoreWithNote)->Unit(benchmark::kMillisecond);

// Each write puts a new file in place, so a new inode means one more write.
class WriteCounter {
public:
    explicit WriteCounter(std::filesystem::path path) : path_(std::move(path)) {}

    void look() {
        struct stat status {};
        if (::stat(path_.c_str(), &status) == 0 && status.st_ino != lastSeen_) {
            lastSeen_ = status.st_ino;
            ++writes_;
        }
    }
    [[nodiscard]] int writes() const { return writes_; }

private:
    std::filesystem::path path_;
    ino_t lastSeen_ = 0;
    int writes_ = 0;
};

// A slightly different 1 MiB note every 10 ms for 3 s, on the real event loop; reports how many
// times the file was written per second. Writes are at least the coalescing delay apart, so
// looking at each keystroke misses none.
void BM_TypingIntoLargeNote(benchmark::State& state) {
    constexpr auto keystrokeInterval = 10ms;
    constexpr qint64 typingMilliseconds = 3000;
    for ([[maybe_unused]] auto _ : state) {
        const QTemporaryDir directory;
        JsonPreferencesStore store(preferencesIn(directory));
        WriteCounter counter(preferencesIn(directory));
        std::string note = largeNote();
        std::size_t keystrokes = 0;
        QEventLoop loop;
        QTimer keystroke;
        keystroke.setTimerType(Qt::PreciseTimer);
        QElapsedTimer typing;
        QObject::connect(&keystroke, &QTimer::timeout, [&] {
            counter.look();
            if (typing.elapsed() >= typingMilliseconds) {
                loop.quit();
                return;
            }
            note[keystrokes % note.size()] = static_cast<char>('a' + keystrokes % 26);
            ++keystrokes;
            store.set("noteText", note);
        });
        typing.start();
        keystroke.start(keystrokeInterval);
        loop.exec();
        const double seconds = static_cast<double>(typing.elapsed()) / 1000;
        state.counters["keystrokes"] = static_cast<double>(keystrokes);
        state.counters["writes"] = counter.writes();
        state.counters["writes_per_second"] = counter.writes() / seconds;
    }
}
BENCHMARK(BM_TypingIntoLargeNote)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
