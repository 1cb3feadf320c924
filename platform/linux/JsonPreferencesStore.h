#pragma once

#include "platform/PreferencesStore.h"
#include "platform/linux/PreferencesJson.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class QTimer;

namespace platform::linux_desktop {

// The preferences store of the Linux desktop: one JSON object in one file. Values live in
// memory, so a change is visible to the next read at once; the file is written whole and
// atomically, once per burst of changes, a short delay after the first of them, so that typing
// into a large note does not write the note per keystroke.
//
// One process owns the file: take the SingleInstanceLock before creating the store, and let a
// second instance exit without creating one, or the two would undo each other's changes.
//
// Problems go to standard error, one line each: a file that cannot be read or parsed is moved
// aside and the store starts empty; a write that fails keeps the changes and is tried again at
// the next change or flush; a non-finite number, which JSON cannot hold, is refused by set() and
// the key keeps its value.
//
// What runs where: every member is called on the main thread, and reads and changes touch only
// the values in memory there. The delay runs on the Qt event loop and then hands a copy of the
// document to a worker thread of the store's own, which serialises and writes it, so that a
// write never stalls the event loop. Copies are written one at a time, in the order handed over,
// and a copy still waiting is replaced by a newer one: an older state never lands after a newer
// one. flush() and the destructor wait until the worker is done.
class JsonPreferencesStore final : public PreferencesStore {
public:
    static constexpr std::chrono::milliseconds defaultWriteDelay{200};

    // The user's configuration folder: $XDG_CONFIG_HOME, or $HOME/.config when that is unset,
    // empty or relative.
    [[nodiscard]] static std::filesystem::path configHome();

    // Loads the file (creating nothing); its directory is made when the file is first written.
    explicit JsonPreferencesStore(std::filesystem::path path,
                                  std::chrono::milliseconds writeDelay = defaultWriteDelay);
    // Writes what is still unsaved.
    ~JsonPreferencesStore() override;
    JsonPreferencesStore(const JsonPreferencesStore&) = delete;
    JsonPreferencesStore& operator=(const JsonPreferencesStore&) = delete;

    [[nodiscard]] std::optional<PreferenceValue> object(std::string_view key) const override;
    void set(std::string_view key, PreferenceValue value) override;
    void removeObject(std::string_view key) override;
    [[nodiscard]] ValueDictionary dictionaryRepresentation() const override;

    // Writes unsaved changes now and waits for the write. True when the file holds every change.
    bool flush();
    [[nodiscard]] bool hasUnsavedChanges() const;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    class Writer;

    void load();
    void setAside(const std::string& reason);
    void changed();
    void startWrite();

    std::filesystem::path path_;
    PreferencesDocument document_;
    // Counts changes; the writer knows which of them the file holds.
    std::uint64_t version_ = 0;
    // Set when an unusable file could not be moved aside: it must not be written over.
    bool fileIsProtected_ = false;
    std::unique_ptr<QTimer> writeTimer_;
    std::unique_ptr<Writer> writer_;
};

} // namespace platform::linux_desktop
