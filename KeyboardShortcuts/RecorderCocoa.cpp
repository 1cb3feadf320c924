#include "KeyboardShortcuts/RecorderCocoa.h"

#include "KeyboardShortcuts/ConflictChecks.h"
#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/internal/DispatchState.h"
#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "KeyboardShortcuts/internal/NotificationSubscription.h"
#include "KeyboardShortcuts/internal/Storage.h"
#include "KeyboardShortcuts/resource_bundle_accessor.h"
#include "platform/MainQueue.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QWindow>
#include <vector>

namespace KeyboardShortcuts {
namespace {

constexpr std::uint64_t recordedEvents = eventMask(platform::EventType::keyDown) |
                                         eventMask(platform::EventType::leftMouseUp) |
                                         eventMask(platform::EventType::rightMouseUp);
// How far outside the field a click still counts as on it.
constexpr int clickTolerance = 3;
constexpr int firstButtonResponse = 1000;
constexpr int secondButtonResponse = 1001;

QString localizedText(std::string_view key) {
    return QString::fromStdString(localized(key));
}

struct Alert {
    QString message;
    QString informativeText;
    // Empty: the one default button.
    std::vector<QString> buttons;
};

// Modal on the window when there is one, on the application otherwise. Answers 1000 for the
// first button, 1001 for the second; closing the box answers the first.
int runModal(const Alert& alert, QWidget* window) {
    QMessageBox box(QMessageBox::Warning, QString(), alert.message, QMessageBox::NoButton, window);
    box.setWindowModality(window != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    box.setInformativeText(alert.informativeText);
    std::vector<QAbstractButton*> buttons;
    for (const QString& title : alert.buttons) {
        buttons.push_back(box.addButton(title, buttons.empty() ? QMessageBox::RejectRole
                                                               : QMessageBox::AcceptRole));
    }
    if (buttons.empty()) {
        buttons.push_back(box.addButton(QMessageBox::Ok));
    }
    box.setEscapeButton(buttons.front());
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front()));
    box.exec();
    const auto clicked = std::ranges::find(buttons, box.clickedButton());
    return clicked == buttons.begin() + 1 ? secondButtonResponse : firstButtonResponse;
}

bool isKeyOf(const platform::Event& event, Key key) {
    return event.keyCode == key.rawValue;
}

// Tab and Shift+Tab move the focus on or back, as everywhere else.
bool isFocusKey(const platform::Event& event) {
    using platform::SpecialKey;
    const std::uint64_t modifiers = shortcutModifiers(event);
    return (modifiers == 0 || modifiers == platform::ModifierFlags::shift) &&
           (event.specialKey == SpecialKey::tab || event.specialKey == SpecialKey::backTab);
}

bool isDeleteKey(const platform::Event& event) {
    using platform::SpecialKey;
    return event.specialKey == SpecialKey::delete_ || event.specialKey == SpecialKey::deleteForward;
}

} // namespace

RecorderCocoa::RecorderCocoa(Name name, RecorderOnChange onChange, QWidget* parent)
    : QLineEdit(parent), shortcutName_(std::move(name)), onChange_(std::move(onChange)),
      clearAction_(addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                             QLineEdit::TrailingPosition)),
      shortcutsNameChangeObserver_(std::make_unique<internal::NotificationSubscription>(
          shortcutByNameDidChange, [this](const platform::Notification& notification) {
              if (internal::isChangeOf(notification, shortcutName_)) {
                  setStringValue(shortcutName_);
              }
          })) {
    setPlaceholderText(localizedText("record_shortcut"));
    setAlignment(Qt::AlignCenter);
    // The field shows shortcuts and never takes text. It is editable only while it records, so that
    // screen readers do not call it read-only while it asks for keys; even then whatever a paste,
    // a drop or an input method puts in gives way to the shortcut again.
    setReadOnly(true);
    connect(this, &QLineEdit::textEdited, this, [this] { setStringValue(shortcutName_); });
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    clearAction_->setText(localizedText("clear_shortcut"));
    // The button belongs to the field; Tab reaches it, so that it works without a pointer.
    if (auto* clearButton = findChild<QToolButton*>()) {
        clearButton->setFocusPolicy(Qt::TabFocus);
        clearButton->setAccessibleName(clearAction_->text());
    }
    connect(clearAction_, &QAction::triggered, this, &RecorderCocoa::clearShortcut);
    setStringValue(shortcutName_);
}

RecorderCocoa::~RecorderCocoa() {
    if (isRecording()) {
        endRecording();
    }
}

void RecorderCocoa::setShortcutName(const Name& name) {
    const bool isAnotherName = name.rawValue() != shortcutName_.rawValue();
    shortcutName_ = name;
    if (isAnotherName) {
        setStringValue(shortcutName_);
    }
}

// Wide enough for the shortcut and for either placeholder, whose length depends on the
// language, with room for the clear button.
QSize RecorderCocoa::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int texts = std::max({metrics.horizontalAdvance(localizedText("record_shortcut")),
                                metrics.horizontalAdvance(localizedText("press_shortcut")),
                                metrics.horizontalAdvance(text())});
    const int height = QLineEdit::sizeHint().height();
    return {std::max(minimumWidth, texts + 2 * height), height};
}

void RecorderCocoa::setStringValue(const Name& name) {
    showShortcut(getShortcut(name));
}

// The words are what the field shows and what screen readers read as its value; the symbols
// stay a tooltip away.
void RecorderCocoa::showShortcut(const std::optional<Shortcut>& shortcut) {
    const QString words =
        shortcut ? QString::fromStdString(desktopDescription(*shortcut)) : QString();
    if (words != text()) { // a screen reader reads every change
        setText(words);
    }
    setToolTip(shortcut ? QString::fromStdString(presentableDescription(*shortcut)) : QString());
    showClearButtonIfNeeded();
    updateGeometry();
}

void RecorderCocoa::showClearButtonIfNeeded() {
    clearAction_->setVisible(!text().isEmpty());
}

bool RecorderCocoa::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While recording, the application's own key equivalents (Quit among them) wait: the
        // key reaches the field, and so the conflict check, instead.
        if (isRecording()) {
            event->accept();
            return true;
        }
        break;
    case QEvent::WindowActivate:
        preventBecomingKey();
        break;
    case QEvent::WindowDeactivate:
        // Without this the window would hand focus back, and so start recording, whenever it
        // becomes active again.
        clearFocus();
        break;
    default:
        break;
    }
    return QLineEdit::event(event);
}

void RecorderCocoa::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    deselect(); // a shortcut is replaced as a whole, never edited
    startRecording();
}

void RecorderCocoa::focusOutEvent(QFocusEvent* event) {
    if (isRecording()) {
        endRecording();
    }
    QLineEdit::focusOutEvent(event);
}

void RecorderCocoa::keyPressEvent(QKeyEvent* event) {
    const bool startsRecording = event->modifiers() == Qt::NoModifier &&
                                 (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                                  event->key() == Qt::Key_Enter);
    if (startsRecording && !isRecording()) {
        startRecording();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void RecorderCocoa::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (hasFocus() && !isRecording()) {
        startRecording();
    }
}

void RecorderCocoa::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    // A centred line edit hides its placeholder while it has focus, which is exactly when the
    // field asks for a shortcut.
    if (hasFocus() && text().isEmpty()) {
        QPainter painter(this);
        QStyleOptionFrame option;
        initStyleOption(&option);
        painter.setPen(palette().placeholderText().color());
        painter.drawText(style()->subElementRect(QStyle::SE_LineEditContents, &option, this),
                         Qt::AlignCenter, placeholderText());
    }
}

void RecorderCocoa::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    preventBecomingKey();
}

// A window that appears or becomes active hands its first focus past the field: recording
// starts only when the user asks for it, from the next turn of the main loop on.
void RecorderCocoa::preventBecomingKey() {
    setFocusPolicy(Qt::NoFocus);
    internal::installedServices().mainQueue.post([field = QPointer(this)] {
        if (field) {
            field->setFocusPolicy(Qt::StrongFocus);
        }
    });
}

void RecorderCocoa::startRecording() {
    eventMonitor_ = std::make_unique<LocalEventMonitor>(
        recordedEvents, [this](const platform::Event& event) { return handleEvent(event); });
    eventMonitor_->start();
    showRecording(true);
}

void RecorderCocoa::endRecording() {
    eventMonitor_.reset();
    showRecording(false);
}

void RecorderCocoa::showRecording(bool recording) {
    setPlaceholderText(localizedText(recording ? "press_shortcut" : "record_shortcut"));
    // Screen readers hear the change as a description event, not only the repaint.
    setAccessibleDescription(recording ? placeholderText() : QString());
    setReadOnly(!recording);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    showClearButtonIfNeeded();
    internal::setPaused(recording);
    internal::installedServices().notifications.post(std::string(recorderActiveStatusDidChange),
                                                     {{"isActive", recording}});
    // Holding the keyboard brings the combinations that grabs would take elsewhere. When the
    // server refuses, the keys that still arrive are recorded all the same.
    if (QWindow* handle = window()->windowHandle()) {
        handle->setKeyboardGrabEnabled(recording);
    }
}

void RecorderCocoa::clearShortcut() {
    if (text().isEmpty()) {
        return;
    }
    showShortcut(std::nullopt);
    setShortcut(std::nullopt, shortcutName_);
    if (onChange_) {
        onChange_(std::nullopt);
    }
    refocus();
}

void RecorderCocoa::giveUpFocus() {
    clearFocus();
}

void RecorderCocoa::refocus() {
    if (!isVisible()) {
        return;
    }
    setFocusPolicy(Qt::StrongFocus);
    setFocus(Qt::OtherFocusReason);
    // After a message box not every window manager gives the window its focus back.
    window()->activateWindow();
}

QPoint RecorderCocoa::fromWindow(const platform::Point& locationInWindow) const {
    return mapFrom(window(), QPointF(locationInWindow.x, locationInWindow.y).toPoint());
}

std::optional<platform::Event> RecorderCocoa::handleEvent(const platform::Event& event) {
    if (event.type == platform::EventType::leftMouseUp ||
        event.type == platform::EventType::rightMouseUp) {
        const QPoint location = fromWindow(event.locationInWindow);
        const QRect grown =
            rect().adjusted(-clickTolerance, -clickTolerance, clickTolerance, clickTolerance);
        if (!grown.contains(location)) {
            giveUpFocus();
            return event;
        }
        // On the field itself the release reaches the clear button; around it, it is swallowed.
        return rect().contains(location) ? std::optional(event) : std::nullopt;
    }
    if (event.type != platform::EventType::keyDown) {
        return std::nullopt;
    }
    return handleKeyDown(event);
}

std::optional<platform::Event> RecorderCocoa::handleKeyDown(const platform::Event& event) {
    const bool noModifiers = shortcutModifiers(event) == 0;
    if (isFocusKey(event)) {
        return event; // the field's own Tab handling moves focus, which ends recording
    }
    if (noModifiers && isKeyOf(event, Key::escape)) {
        endRecording();
        return std::nullopt;
    }
    if (noModifiers && isDeleteKey(event)) {
        clearShortcut();
        return std::nullopt;
    }
    if (event.isARepeat) {
        return std::nullopt; // a held key is judged once
    }
    const auto shortcut = Shortcut::fromEvent(event);
    if (!meetsModifierRequirement(event) || !shortcut) {
        QApplication::beep();
        return std::nullopt;
    }
    if (passesConflictChecks(*shortcut)) {
        accept(*shortcut);
    }
    return std::nullopt;
}

bool RecorderCocoa::passesConflictChecks(const Shortcut& shortcut) {
    const auto alertThenRecord = [this](const Alert& alert) {
        giveUpFocus();
        const int response = runModal(alert, isVisible() ? window() : nullptr);
        refocus();
        return response;
    };
    if (const QMenu* menu = mainMenu()) {
        if (const QAction* item = menuItemWithMatchingShortcut(shortcut, *menu)) {
            alertThenRecord({QString::fromStdString(localizedStringWithFormat(
                                 localized("keyboard_shortcut_used_by_menu_item"),
                                 item->text().remove(QLatin1Char('&')).toStdString())),
                             {},
                             {}});
            return false;
        }
    }
    if (isDisallowed(shortcut)) {
        alertThenRecord({localizedText("keyboard_shortcut_disallowed"), {}, {}});
        return false;
    }
    if (isUsedBySystem(shortcut)) {
        return alertThenRecord({localizedText("keyboard_shortcut_used_by_system"),
                                localizedText("keyboard_shortcuts_can_be_changed"),
                                {localizedText("ok"), localizedText("force_use_shortcut")}}) ==
               secondButtonResponse;
    }
    return true;
}

// Recording ends with the focus where it was, so that the keyboard goes on from the field.
void RecorderCocoa::accept(const Shortcut& shortcut) {
    showShortcut(shortcut);
    internal::userDefaultsSet(shortcutName_, shortcut);
    if (onChange_) {
        onChange_(shortcut);
    }
    endRecording();
}

} // namespace KeyboardShortcuts
