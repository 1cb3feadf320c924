#pragma once

#include "KeyboardShortcuts/LocalEventMonitor.h"
#include "KeyboardShortcuts/Name.h"

#include <QLineEdit>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class QAction;

namespace KeyboardShortcuts {

namespace internal {
class NotificationSubscription;
}

// Posted with "isActive" true when a recorder starts recording, false when it stops.
inline constexpr std::string_view recorderActiveStatusDidChange =
    "KeyboardShortcuts_recorderActiveStatusDidChange";

using RecorderOnChange = std::function<void(const std::optional<Shortcut>&)>;

// The field in which the user sets a name's shortcut. At rest it shows the shortcut as the desktop
// spells it ("Ctrl+Alt+N"), its symbols in the tooltip, or asks for one. Focus (a click, Tab)
// starts recording, and so do Space and Return on the field at rest: the window holds the keyboard,
// so that combinations that this or any other program grabs reach the field, the application's own
// key equivalents wait, and registered shortcuts fire nothing. The next usable combination is
// checked, stored for the name, shown and handed to onChange, and recording ends with the focus
// left on the field. Escape ends it the same way; Tab, Shift+Tab, a click outside and the window
// losing focus move the focus away; Backspace, Delete and the clear button remove the shortcut and
// recording goes on.
//
// A combination without control, option or command (except F1 to F35) beeps. One that a menu
// action of mainMenu() uses, or that the desktop or another program holds, is explained in a
// message box; the desktop's can be taken anyway.
class RecorderCocoa final : public QLineEdit {
public:
    static constexpr int minimumWidth = 130;

    explicit RecorderCocoa(Name name, RecorderOnChange onChange = {}, QWidget* parent = nullptr);
    RecorderCocoa(const RecorderCocoa&) = delete;
    RecorderCocoa& operator=(const RecorderCocoa&) = delete;
    ~RecorderCocoa() override;

    [[nodiscard]] const Name& shortcutName() const { return shortcutName_; }
    // Another name shows its shortcut at once; recording, if under way, goes on for it.
    void setShortcutName(const Name& name);

    [[nodiscard]] bool isRecording() const { return eventMonitor_ != nullptr; }

    // What the field does with an event while it records: the event to let it continue, none to
    // swallow it.
    std::optional<platform::Event> handleEvent(const platform::Event& event);

    [[nodiscard]] QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setStringValue(const Name& name);
    void showClearButtonIfNeeded();
    void startRecording();
    void endRecording();
    // Placeholder, pause, announcement and keyboard grab of recording, or of its end.
    void showRecording(bool recording);
    void preventBecomingKey();
    void clearShortcut();
    void showShortcut(const std::optional<Shortcut>& shortcut);
    void giveUpFocus();
    void refocus();
    [[nodiscard]] QPoint fromWindow(const platform::Point& locationInWindow) const;
    std::optional<platform::Event> handleKeyDown(const platform::Event& event);
    // Whether the shortcut may be stored: shows why not where it may not.
    bool passesConflictChecks(const Shortcut& shortcut);
    void accept(const Shortcut& shortcut);

    Name shortcutName_;
    RecorderOnChange onChange_;
    QAction* clearAction_;
    std::unique_ptr<LocalEventMonitor> eventMonitor_;
    std::unique_ptr<internal::NotificationSubscription> shortcutsNameChangeObserver_;
};

} // namespace KeyboardShortcuts
