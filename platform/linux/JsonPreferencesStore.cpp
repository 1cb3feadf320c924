#include "platform/linux/JsonPreferencesStore.h"

#include "platform/linux/FileDescriptor.h"
#include "platform/linux/Utf8Text.h"
#include "platform/linux/XdgConfigHome.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <array>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform::linux_desktop {
namespace fs = std::filesystem;

namespace {

// Said in the application's name.
void report(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), line.c_str());
}

std::string systemError(int error) {
    return std::generic_category().message(error);
}

// What failed, on which file, and the system's reason taken from errno.
std::string failure(const char* what, const fs::path& file) {
    const int error = errno;
    return std::string(what) + " " + file.string() + ": " + systemError(error);
}

bool writeAll(int fd, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t count = ::write(fd, bytes.data(), static_cast<std::size_t>(bytes.size()));
        if (count >= 0) {
            bytes = bytes.sliced(count);
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Best effort: the new file is in place already and only the durability of its name is at
// stake, and some file systems cannot sync a directory at all.
void syncDirectory(const fs::path& directory) {
    const FileDescriptor handle(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.valid()) {
        ::fsync(handle.get());
    }
}

// Replaces the file so that it holds either its old or its new contents whatever happens: a
// synced temporary file renamed over it. The reason when it could not.
std::optional<std::string> writeAtomically(const fs::path& path, QByteArrayView contents) {
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) {
        return "cannot create " + directory.string() + ": " + error.message();
    }
    // One name, reused: the single-instance lock rules out two writers, and a file left by a
    // killed process is simply written over the next time.
    const fs::path temporary = fs::path(path).concat(".tmp");
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file.valid()) {
        return failure("cannot create", temporary);
    }
    if (!writeAll(file.get(), contents) || ::fsync(file.get()) != 0 || !file.reset()) {
        std::string reason = failure("cannot write", temporary);
        ::unlink(temporary.c_str());
        return reason;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        std::string reason = failure("cannot move into place", temporary);
        ::unlink(temporary.c_str());
        return reason;
    }
    syncDirectory(directory);
    return std::nullopt;
}

// A free name next to the file: preferences.json.corrupt-20261206T075501, then -2, -3, ...
fs::path asideName(const fs::path& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y%m%dT%H%M%S", &local);
    const std::string base = path.string() + ".corrupt-" + stamp.data();
    fs::path candidate = base;
    std::error_code error;
    for (int n = 2; fs::exists(fs::symlink_status(candidate, error)); ++n) {
        candidate = base + "-" + std::to_string(n);
    }
    return candidate;
}

QString jsonKey(std::string_view key) {
    return textFromUtf8(key);
}

} // namespace

// The worker thread and what it shares with the main thread, under the mutex: the copy waiting
// to be written, whether a write is under way, and the newest version the file holds.
class JsonPreferencesStore::Writer {
public:
    explicit Writer(fs::path path) : path_(std::move(path)), thread_([this] { run(); }) {}

    // Finishes what was handed over first.
    ~Writer() {
        {
            const std::scoped_lock lock(mutex_);
            stopping_ = true;
        }
        stateChanged_.notify_all();
        thread_.join();
    }

    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Returns at once; a copy still waiting is dropped, since this one is newer.
    void write(PreferencesDocument document, std::uint64_t version) {
        {
            const std::scoped_lock lock(mutex_);
            waiting_ = Snapshot{std::move(document), version};
        }
        stateChanged_.notify_all();
    }

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        stateChanged_.wait(lock, [this] { return !waiting_ && !writing_; });
    }

    [[nodiscard]] bool holds(std::uint64_t version) const {
        const std::scoped_lock lock(mutex_);
        return savedVersion_ >= version;
    }

private:
    struct Snapshot {
        PreferencesDocument document;
        std::uint64_t version;
    };

    void run() {
        while (std::optional<Snapshot> snapshot = next()) {
            finished(save(snapshot->document), snapshot->version);
        }
    }

    // Waits for a copy to write; none when the store is going away and nothing waits.
    std::optional<Snapshot> next() {
        std::unique_lock lock(mutex_);
        stateChanged_.wait(lock, [this] { return waiting_ || stopping_; });
        writing_ = waiting_.has_value();
        return std::exchange(waiting_, std::nullopt);
    }

    void finished(bool saved, std::uint64_t version) {
        {
            const std::scoped_lock lock(mutex_);
            writing_ = false;
            if (saved) {
                savedVersion_ = version;
            }
        }
        stateChanged_.notify_all();
    }

    bool save(const PreferencesDocument& document) {
        const auto failed = writeAtomically(path_, toPreferencesJson(document));
        if (!failed) {
            reportedFailure_.clear();
            return true;
        }
        if (*failed != reportedFailure_) {
            report("could not save the preferences to " + path_.string() + " (" + *failed +
                   "); the changes are kept and saving is tried again at the next change.");
            reportedFailure_ = *failed;
        }
        return false;
    }

    const fs::path path_;
    mutable std::mutex mutex_;
    // A copy waiting, a write done, or the store going away.
    std::condition_variable stateChanged_;
    std::optional<Snapshot> waiting_;
    bool writing_ = false;
    bool stopping_ = false;
    std::uint64_t savedVersion_ = 0;
    // The worker's own: the last failure reported, so that retries do not repeat it.
    std::string reportedFailure_;
    // Last, so that it starts once the rest is in place.
    std::thread thread_;
};

fs::path JsonPreferencesStore::configHome() {
    return xdgConfigHome();
}

JsonPreferencesStore::JsonPreferencesStore(fs::path path, std::chrono::milliseconds writeDelay)
    : path_(std::move(path)), writeTimer_(std::make_unique<QTimer>()),
      writer_(std::make_unique<Writer>(path_)) {
    writeTimer_->setSingleShot(true);
    writeTimer_->setInterval(writeDelay);
    QObject::connect(writeTimer_.get(), &QTimer::timeout, [this] { startWrite(); });
    load();
}

JsonPreferencesStore::~JsonPreferencesStore() {
    flush();
}

void JsonPreferencesStore::load() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists()) {
            setAside("cannot be read: " + file.errorString().toStdString());
        }
        return;
    }
    auto parsed = parsePreferencesJson(file.readAll());
    if (auto* document = std::get_if<PreferencesDocument>(&parsed)) {
        document_ = std::move(*document);
    } else {
        setAside(std::get<PreferencesJsonError>(parsed).reason);
    }
}

void JsonPreferencesStore::setAside(const std::string& reason) {
    const fs::path aside = asideName(path_);
    const bool moved = ::rename(path_.c_str(), aside.c_str()) == 0;
    const int error = errno;
    const std::string problem =
        "the preferences file " + path_.string() + " is unusable (" + reason + ")";
    if (moved) {
        report(problem + "; moved it to " + aside.string() + " and started with defaults.");
        return;
    }
    fileIsProtected_ = true;
    report(problem + " and could not be moved to " + aside.string() + " (" + systemError(error) +
           "); started with defaults, which will not be saved in this run.");
}

std::optional<PreferenceValue> JsonPreferencesStore::object(std::string_view key) const {
    const auto found = document_.values.find(key);
    return found == document_.values.end() ? std::nullopt : std::optional(found->second);
}

void JsonPreferencesStore::set(std::string_view key, PreferenceValue value) {
    if (const auto* number = std::get_if<double>(&value);
        number != nullptr && !std::isfinite(*number)) {
        report("not setting \"" + std::string(key) + "\" to " + std::to_string(*number) +
               ", which JSON cannot hold; it keeps its previous value.");
        return;
    }
    if (const auto found = document_.values.find(key); found != document_.values.end()) {
        found->second = std::move(value);
    } else {
        document_.otherMembers.remove(jsonKey(key));
        document_.values.emplace(key, std::move(value));
    }
    changed();
}

void JsonPreferencesStore::removeObject(std::string_view key) {
    if (const auto found = document_.values.find(key); found != document_.values.end()) {
        document_.values.erase(found);
        changed();
    } else if (!document_.otherMembers.take(jsonKey(key)).isUndefined()) {
        changed();
    }
}

ValueDictionary JsonPreferencesStore::dictionaryRepresentation() const {
    return document_.values;
}

void JsonPreferencesStore::changed() {
    ++version_;
    // Not restarted by later changes: a write follows the first change of a burst, however long
    // the burst lasts.
    if (!writeTimer_->isActive()) {
        writeTimer_->start();
    }
}

bool JsonPreferencesStore::hasUnsavedChanges() const {
    return !writer_->holds(version_);
}

// The copy costs the main thread little: the note's bytes are copied, not serialised, and
// members of other kinds are shared by Qt's atomic reference counts.
void JsonPreferencesStore::startWrite() {
    writeTimer_->stop();
    if (!fileIsProtected_ && hasUnsavedChanges()) {
        writer_->write(document_, version_);
    }
}

bool JsonPreferencesStore::flush() {
    startWrite();
    writer_->waitUntilIdle();
    return !hasUnsavedChanges();
}

} // namespace platform::linux_desktop
