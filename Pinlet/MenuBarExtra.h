#pragma once

#include "platform/Workspace.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

class QSystemTrayIcon;

namespace platform {
class LoginItems;
struct Services;
class SystemLog;
} // namespace platform

namespace pinlet {

class MenuBarContent;
class PanelController;

// The tray icon and the window it opens. A click on the icon opens the window next to it; a
// click elsewhere closes it again, but the note panel it shows and the focus Pinlet hands back
// when the panel hides leave it open. While the desktop has no tray, the window is an ordinary
// window, opened after a short wait, so that the application stays usable; closing it quits,
// unless the shortcut works without it. A tray that appears later, as at login, takes the icon
// and the window back.
class MenuBarExtra final : public QObject {
    Q_OBJECT

public:
    MenuBarExtra(PanelController& panel, const platform::Services& services);
    ~MenuBarExtra() override;
    MenuBarExtra(const MenuBarExtra&) = delete;
    MenuBarExtra& operator=(const MenuBarExtra&) = delete;

    // Built when first needed: most starts never open it.
    [[nodiscard]] MenuBarContent& content();
    [[nodiscard]] QSystemTrayIcon* trayIcon() const { return trayIcon_.get(); }
    [[nodiscard]] bool hasTray() const { return attachedToTray_; }

    // As a click on the icon opens it, or where there is no tray, as an ordinary window; brought
    // to the front when it is open already.
    void openContent();
    // Where the toggle's keys are kept, in a line for the window (empty: nothing to say), and
    // whether they work while the window is closed.
    void setShortcutHome(const QString& whereKept, bool worksWithoutWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void waitForTray();
    void checkForTray();
    void openWithoutTray();
    [[nodiscard]] bool contentIsOpen() const;
    void showNote();
    [[nodiscard]] QString note() const;
    void toggleContent();
    void openAtIcon();
    void placeContentNextToIcon();
    void closeWhenAnotherApplicationTakesOver();

    platform::Workspace& workspace_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    // What the window is built with.
    PanelController& panel_;
    platform::LoginItems& loginItems_;
    platform::SystemLog& systemLog_;
    std::unique_ptr<MenuBarContent> content_;
    bool attachedToTray_ = false;
    // The colour the tray asks its icons to be drawn in, if any.
    std::optional<platform::Rgb> trayForeground_;
    QString shortcutWhereKept_;
    bool shortcutWorksWithoutWindow_ = false;
    QTimer trayPoll_;
    QTimer trayGrace_;
    // Looks once a change of the active window has settled.
    QTimer activationCheck_;
    // Since it was last opened.
    bool contentHasBeenActive_ = false;
    std::optional<platform::RunningApplication> handedBackTo_;
    // When the window was last closed because the user clicked elsewhere.
    QElapsedTimer closedByClickElsewhere_;
};

} // namespace pinlet
