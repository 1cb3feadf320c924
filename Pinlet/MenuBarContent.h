#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace KeyboardShortcuts {
class Recorder;
}

namespace platform {
class LoginItems;
class SystemLog;
} // namespace platform

namespace pinlet {

class PanelController;

// The small window behind the tray icon: show or hide the note, the toggle's shortcut, launch at
// login, quit.
class MenuBarContent final : public QWidget {
    Q_OBJECT

public:
    static constexpr int fixedWidth = 260;

    MenuBarContent(PanelController& panel, platform::LoginItems& loginItems,
                   platform::SystemLog& systemLog, Qt::WindowFlags windowFlags);

    void setLaunchAtLogin(bool wanted);
    [[nodiscard]] bool launchAtLogin() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshToggleTitle();
    void refreshLaunchAtLogin();

    PanelController& panel_;
    platform::LoginItems& loginItems_;
    platform::SystemLog& systemLog_;
    // In the order of the rows, which is the order Tab follows.
    QPushButton* toggleButton_;
    KeyboardShortcuts::Recorder* shortcutRecorder_;
    QCheckBox* launchAtLoginSwitch_;
};

} // namespace pinlet
