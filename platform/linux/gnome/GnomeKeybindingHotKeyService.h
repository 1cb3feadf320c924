#pragma once

#include "platform/HotKeyServiceBase.h"
#include "platform/linux/AcceleratorReader.h"

#include <QTimer>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct _GSettings;

namespace platform::linux_desktop {

class XkbKeymap;

// A hot key kept as one of GNOME's custom keybindings, where a Wayland session offers neither
// key grabs nor the GlobalShortcuts portal: the application's own entry, at a path of its own,
// runs a command of the application's when the keys go down. So the desktop runs the command
// and this service delivers no key events. One combination at a time: the entry has one binding.
//
// The user's own entries stay as they are, in their order; the entry's path is listed once while
// a combination is registered and taken off the list when none is. Registrations and removals
// made in one turn of the event loop are written together, so that a hot key released and taken
// back (as while a menu is open) changes nothing. A binding the user changes in GNOME's settings
// is handed to the callback given: a combination, or none where they removed it.
class GnomeKeybindingHotKeyService final : public HotKeyServiceBase {
public:
    struct Entry {
        std::string path; // "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/x/"
        std::string name;
        std::vector<std::string> command; // the program and its arguments
    };
    using UserChange = std::function<void(std::optional<KeyCombination>)>;

    // Why the entry cannot be kept in this session's settings, in one line; none when it can.
    [[nodiscard]] static std::optional<std::string> problemWith(const Entry& entry);

    // Call only where problemWith() finds none.
    GnomeKeybindingHotKeyService(const XkbKeymap& keymap, Entry entry, UserChange onUserChange);
    ~GnomeKeybindingHotKeyService() override;
    GnomeKeybindingHotKeyService(const GnomeKeybindingHotKeyService&) = delete;
    GnomeKeybindingHotKeyService& operator=(const GnomeKeybindingHotKeyService&) = delete;

    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                HotKeyId id) override;
    void unregisterHotKey(std::optional<HotKeyRef> reference) override;

private:
    void write();
    void writeBinding(const std::string& binding);
    void readUserChange();
    [[nodiscard]] std::string storedBinding() const;

    const XkbKeymap& keymap_;
    const Entry entry_;
    const std::string command_; // quoted as GNOME parses commands
    UserChange onUserChange_;
    _GSettings* mediaKeys_;
    _GSettings* keybinding_;
    std::map<HotKeyRef, std::string> bindings_;
    // What the settings hold by this service's own last write; empty: the entry is not listed.
    std::string written_;
    bool writing_ = false;
    QTimer writeTimer_;
};

} // namespace platform::linux_desktop
