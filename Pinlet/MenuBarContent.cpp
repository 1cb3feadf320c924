#include "Pinlet/MenuBarContent.h"

#include "KeyboardShortcuts/Recorder.h"
#include "Pinlet/NoteStore.h"
#include "Pinlet/PanelController.h"
#include "Pinlet/ToggleShortcut.h"
#include "platform/LoginItems.h"
#include "platform/SystemLog.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pinlet {
namespace {

constexpr int itemSpacing = 12;
constexpr int margin = 14;

// A line between rows, which screen readers know as a separator rather than as a frame.
class Separator final : public QFrame {
    Q_OBJECT

public:
    explicit Separator(QWidget* parent) : QFrame(parent) {
        setFrameShape(QFrame::HLine);
        setFrameShadow(QFrame::Sunken);
        static const bool known = (QAccessible::installFactory(&accessibleSeparator), true);
        Q_UNUSED(known);
    }

private:
    static QAccessibleInterface* accessibleSeparator(const QString& className, QObject* object) {
        return className == QLatin1String(staticMetaObject.className())
                   ? new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Separator)
                   : nullptr;
    }
};

QPushButton* quitButton(QWidget* parent) {
    auto* button = new QPushButton(QObject::tr("Quit Pinlet"), parent);
    button->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // exit(), not quit(): quit() first asks every window to close, and the note panel answers
    // that by hiding instead, which would keep Pinlet running while the note is shown.
    QObject::connect(button, &QPushButton::clicked, qApp, [] { QCoreApplication::exit(0); });
    return button;
}

} // namespace

MenuBarContent::MenuBarContent(PanelController& panel, platform::LoginItems& loginItems,
                               platform::SystemLog& systemLog, Qt::WindowFlags windowFlags)
    : QWidget(nullptr, windowFlags), panel_(panel), loginItems_(loginItems), systemLog_(systemLog),
      toggleButton_(new QPushButton(this)),
      shortcutRecorder_(new KeyboardShortcuts::Recorder(tr("Shortcut:"), togglePanel(), {}, this)),
      note_(new QLabel(this)), launchAtLoginSwitch_(new QCheckBox(tr("Launch at login"), this)) {
    setWindowTitle(tr("Pinlet menu"));

    auto* column = new QVBoxLayout(this);
    column->setSpacing(itemSpacing);
    column->setContentsMargins(margin, margin, margin, margin);
    column->addWidget(toggleButton_, 0, Qt::AlignLeft);
    column->addWidget(shortcutRecorder_, 0, Qt::AlignLeft);
    column->addWidget(note_);
    column->addWidget(launchAtLoginSwitch_, 0, Qt::AlignLeft);
    column->addWidget(new Separator(this));
    column->addWidget(quitButton(this), 0, Qt::AlignLeft);

    connect(toggleButton_, &QPushButton::clicked, this, [this] { panel_.toggle(); });
    connect(launchAtLoginSwitch_, &QCheckBox::clicked, this, &MenuBarContent::setLaunchAtLogin);
    connect(&panel.store(), &NoteStore::panelVisibleChanged, this,
            &MenuBarContent::refreshToggleTitle);
    note_->setWordWrap(true);
    note_->hide();
    refreshToggleTitle();
    refreshLaunchAtLogin();
    fitContent();
}

void MenuBarContent::setNote(const QString& text) {
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
    fitContent();
}

// As wide as the widest row needs, at least the window's own width; the height follows what the
// rows need at that width.
void MenuBarContent::fitContent() {
    const int width = std::max(minimumWidth, layout()->totalMinimumSize().width());
    setFixedSize(width, hasHeightForWidth() ? heightForWidth(width) : sizeHint().height());
}

void MenuBarContent::setLaunchAtLogin(bool wanted) {
    const auto error =
        wanted ? loginItems_.registerApplication() : loginItems_.unregisterApplication();
    if (error) {
        systemLog_.log("Pinlet: launch at login change failed: " + *error);
    }
    refreshLaunchAtLogin();
}

bool MenuBarContent::launchAtLogin() const {
    return launchAtLoginSwitch_->isChecked();
}

void MenuBarContent::showEvent(QShowEvent* event) {
    // The entry may have been changed elsewhere since the window was last open.
    refreshLaunchAtLogin();
    QWidget::showEvent(event);
}

// Escape closes the window behind the tray icon, as it closes menus; an ordinary window, the
// application's home where there is no tray, stays.
void MenuBarContent::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && windowType() != Qt::Window) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MenuBarContent::refreshToggleTitle() {
    toggleButton_->setText(panel_.store().isPanelVisible() ? tr("Hide Note") : tr("Show Note"));
    fitContent();
}

void MenuBarContent::refreshLaunchAtLogin() {
    const QSignalBlocker quiet(launchAtLoginSwitch_);
    launchAtLoginSwitch_->setChecked(loginItems_.status() == platform::LoginItems::Status::enabled);
}

} // namespace pinlet

#include "MenuBarContent.moc"
