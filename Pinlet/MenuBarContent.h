#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
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
    // The window grows past it to fit its rows, as large fonts need.
    static constexpr int minimumWidth = 260;

    MenuBarContent(PanelController& panel, platform::LoginItems& loginItems,
                   platform::SystemLog& systemLog, Qt::WindowFlags windowFlags);

    void setLaunchAtLogin(bool wanted);
    [[nodiscard]] bool launchAtLogin() const;
    // A few words under the shortcut, on where it is kept; none when empty.
    void setNote(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refreshToggleTitle();
    void refreshLaunchAtLogin();
    void fitContent();

    PanelController& panel_;
    platform::LoginItems& loginItems_;
    platform::SystemLog& systemLog_;
    // In the order of the rows, which is the order Tab follows.
    QPushButton* toggleButton_;
    KeyboardShortcuts::Recorder* shortcutRecorder_;
    QLabel* note_;
    QCheckBox* launchAtLoginSwitch_;
};

} // namespace pinlet
