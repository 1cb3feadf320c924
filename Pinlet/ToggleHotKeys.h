#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace platform {
class HotKeyService;
}

namespace platform::linux_desktop {
class FallbackHotKeyService;
class GnomeKeybindingHotKeyService;
class PortalHotKeyService;
class X11HotKeyService;
class XkbKeymap;
} // namespace platform::linux_desktop

namespace pinlet {

// Where the toggle's keys are kept, chosen for the session: X key grabs on an X11 session. On a
// Wayland one, the desktop's GlobalShortcuts portal; where that is missing or refuses, on the
// GNOME family, a custom shortcut in GNOME's settings that runs `pinlet --toggle`; else nowhere,
// and one line asks the user to bind that command by hand.
class ToggleHotKeys final : public QObject {
    Q_OBJECT

public:
    enum class Home { keyGrabs, portal, gnomeSettings, nowhere };

    // The path of Pinlet's own entry among GNOME's custom shortcuts.
    static constexpr const char* gnomeCommandPath =
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/pinlet/";

    ToggleHotKeys(platform::linux_desktop::X11HotKeyService& keyGrabs,
                  const platform::linux_desktop::XkbKeymap& keymap, bool waylandSession);
    ~ToggleHotKeys() override;
    ToggleHotKeys(const ToggleHotKeys&) = delete;
    ToggleHotKeys& operator=(const ToggleHotKeys&) = delete;

    [[nodiscard]] platform::HotKeyService& service() const;
    [[nodiscard]] Home home() const { return home_; }
    // Where the keys are kept, in a line for the Pinlet window; empty where that goes unsaid.
    [[nodiscard]] QString whereKept() const;

signals:
    void homeChanged();

private:
    void leavePortal();
    void moveTo(Home home);

    const platform::linux_desktop::XkbKeymap& keymap_;
    platform::HotKeyService& keyGrabs_;
    std::unique_ptr<platform::linux_desktop::PortalHotKeyService> portal_;
    std::unique_ptr<platform::linux_desktop::GnomeKeybindingHotKeyService> gnome_;
    std::unique_ptr<platform::linux_desktop::FallbackHotKeyService> wayland_;
    Home home_;
};

} // namespace pinlet
