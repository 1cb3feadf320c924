#include "KeyboardShortcuts/ViewModifiers.h"

#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/RecorderCocoa.h"
#include "KeyboardShortcuts/internal/NotificationSubscription.h"
#include "KeyboardShortcuts/internal/Storage.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QWidget>

namespace KeyboardShortcuts {
namespace {

// Consumes the name's events while its widget is shown; a child of the widget, so it ends with
// it.
class ShortcutEventBinding final : public QObject {
public:
    ShortcutEventBinding(QWidget& widget, Name name, std::optional<EventType> type,
                         EventAction action)
        : QObject(&widget), name_(std::move(name)), type_(type), action_(std::move(action)) {
        widget.installEventFilter(this);
        if (widget.isVisible()) {
            start();
        }
    }

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            start();
        } else if (event->type() == QEvent::Hide) {
            stream_.reset(); // ends the stream, which may release the hot key
        }
        return false;
    }

private:
    void start() {
        stream_.emplace(type_ ? events(*type_, name_) : events(name_));
        stream_->onElement(action_);
    }

    Name name_;
    std::optional<EventType> type_;
    EventAction action_;
    std::optional<EventStream> stream_;
};

// Gives its owner the name's key sequence, none while a recorder records.
class ShortcutFollower final : public QObject {
public:
    using Apply = std::function<void(const QKeySequence&)>;

    ShortcutFollower(QObject& owner, Name name, Apply apply)
        : QObject(&owner), name_(std::move(name)), apply_(std::move(apply)),
          nameChanges_(shortcutByNameDidChange,
                       [this](const platform::Notification& notification) {
                           if (internal::isChangeOf(notification, name_)) {
                               refresh();
                           }
                       }),
          recorderChanges_(recorderActiveStatusDidChange,
                           [this](const platform::Notification& notification) {
                               const bool* active = notification.userInfoValue<bool>("isActive");
                               isRecorderActive_ = active != nullptr && *active;
                               refresh();
                           }) {
        refresh();
    }

private:
    void refresh() {
        apply_(isRecorderActive_ ? QKeySequence() : keySequenceOrNone(getShortcut(name_)));
    }

    Name name_;
    Apply apply_;
    bool isRecorderActive_ = false;
    internal::NotificationSubscription nameChanges_;
    internal::NotificationSubscription recorderChanges_;
};

} // namespace

void onKeyboardShortcut(QWidget& widget, const Name& name, EventAction action) {
    new ShortcutEventBinding(widget, name, std::nullopt, std::move(action));
}

void onKeyboardShortcut(QWidget& widget, const Name& name, EventType type, Action action) {
    new ShortcutEventBinding(widget, name, type,
                             [action = std::move(action)](EventType /*type*/) { action(); });
}

void onGlobalKeyboardShortcut(QWidget& widget, const Name& name, EventAction action) {
    onKeyboardShortcut(widget, name, std::move(action));
}

void onGlobalKeyboardShortcut(QWidget& widget, const Name& name, EventType type, Action action) {
    onKeyboardShortcut(widget, name, type, std::move(action));
}

void globalKeyboardShortcut(QAbstractButton& button, const Name& name) {
    new ShortcutFollower(button, name,
                         [&button](const QKeySequence& keys) { button.setShortcut(keys); });
}

void globalKeyboardShortcut(QAction& action, const Name& name) {
    new ShortcutFollower(action, name,
                         [&action](const QKeySequence& keys) { action.setShortcut(keys); });
}

} // namespace KeyboardShortcuts
