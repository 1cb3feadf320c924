#include "Pinlet/MenuBarExtra.h"

#include "Pinlet/Contrast.h"
#include "Pinlet/MenuBarContent.h"
#include "Pinlet/PanelController.h"
#include "Pinlet/TopLevelWindow.h"
#include "platform/Services.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <array>
#include <cstdio>

namespace pinlet {
namespace {

// A click on the icon while the window is open first deactivates the window, which closes
// it; the click that follows must not open it again.
constexpr qint64 reopenGuardMilliseconds = 300;
// At login the tray host often starts after Pinlet.
constexpr int trayGraceMilliseconds = 3000;
constexpr int trayPollMilliseconds = 500;

constexpr Qt::WindowFlags trayWindowFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

// Symbols of the icon theme that stand for Pinlet, best first: its own, which the package installs
// and a theme may restyle, then a text editor's.
constexpr std::array themeSymbolNames{"pinlet-symbolic", "text-editor-symbolic",
                                      "accessories-text-editor-symbolic"};

// The first symbol the icon theme has, else the one built in, which the package installs as
// pinlet-symbolic.
QIcon symbolShape() {
    for (const char* name : themeSymbolNames) {
        if (QIcon::hasThemeIcon(QLatin1String(name))) {
            return QIcon::fromTheme(QLatin1String(name));
        }
    }
    return QIcon(QStringLiteral(":/icons/note.svg"));
}

// The symbol in the colour the tray asks for; where it asks none, nothing tells how light the
// tray is, so the palette's text colour is ringed with the colour that stands out from it.
QIcon trayIconIn(std::optional<platform::Rgb> trayForeground) {
    if (trayForeground) {
        return symbolIn(symbolShape(), QColor::fromRgb(*trayForeground));
    }
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    return symbolIn(symbolShape(), text, contrastingColour(text));
}

} // namespace

MenuBarExtra::MenuBarExtra(PanelController& panel, const platform::Services& services)
    : workspace_(services.workspace), trayIcon_(std::make_unique<QSystemTrayIcon>()), panel_(panel),
      loginItems_(services.loginItems), systemLog_(services.systemLog) {
    trayIcon_->setToolTip(tr("Pinlet"));
    workspace_.observeTrayForeground([this](std::optional<platform::Rgb> colour) {
        trayForeground_ = colour;
        trayIcon_->setIcon(trayIconIn(colour));
    });
    activationCheck_.setSingleShot(true);
    activationCheck_.setInterval(0);
    connect(&activationCheck_, &QTimer::timeout, this,
            &MenuBarExtra::closeWhenAnotherApplicationTakesOver);
    workspace_.observeActivations([this] {
        if (attachedToTray_ && contentIsOpen()) {
            activationCheck_.start();
        }
    });
    connect(&panel, &PanelController::focusHandedBack, this,
            [this](const platform::RunningApplication& app) { handedBackTo_ = app; });
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Every click toggles the window, the second of a quick pair included.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context ||
                    reason == QSystemTrayIcon::DoubleClick) {
                    toggleContent();
                }
            });
    // All events of the application: those of the window, and palette changes, which only the
    // application hears of while the window has never been shown.
    qApp->installEventFilter(this);
    // Shown even without a tray: Qt embeds a shown icon in a tray that appears later.
    trayIcon_->show();
    attachedToTray_ = QSystemTrayIcon::isSystemTrayAvailable();
    if (!attachedToTray_) {
        waitForTray();
    }
}

// What destroying the window sets off (its deactivation, a change of the active window) must not
// reach this object once its members start going.
MenuBarExtra::~MenuBarExtra() {
    qApp->removeEventFilter(this);
    workspace_.observeActivations({});
    workspace_.observeTrayForeground({});
}

void MenuBarExtra::waitForTray() {
    connect(&trayPoll_, &QTimer::timeout, this, &MenuBarExtra::checkForTray);
    trayPoll_.start(trayPollMilliseconds);
    trayGrace_.setSingleShot(true);
    connect(&trayGrace_, &QTimer::timeout, this, &MenuBarExtra::openWithoutTray);
    trayGrace_.start(trayGraceMilliseconds);
}

void MenuBarExtra::checkForTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    trayPoll_.stop();
    trayGrace_.stop();
    attachedToTray_ = true;
    if (content_) {
        content_->hide();
        content_->setWindowFlags(trayWindowFlags);
        showNote();
    }
}

void MenuBarExtra::openWithoutTray() {
    trayGrace_.stop();
    if (content().windowType() != Qt::Window) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(tr("Pinlet: this desktop has no system tray; opening the Pinlet "
                                   "menu window instead.")));
        content_->setWindowFlags(Qt::Window);
        showNote();
    }
    showAsKeyWindow(*content_, workspace_);
}

MenuBarContent& MenuBarExtra::content() {
    if (!content_) {
        content_ =
            std::make_unique<MenuBarContent>(panel_, loginItems_, systemLog_, trayWindowFlags);
        showNote();
    }
    return *content_;
}

void MenuBarExtra::openContent() {
    if (!attachedToTray_) {
        openWithoutTray();
    } else if (contentIsOpen()) {
        showAsKeyWindow(*content_, workspace_);
    } else {
        openAtIcon();
    }
}

void MenuBarExtra::setShortcutHome(const QString& whereKept, bool worksWithoutWindow) {
    shortcutWhereKept_ = whereKept;
    shortcutWorksWithoutWindow_ = worksWithoutWindow;
    showNote();
}

bool MenuBarExtra::contentIsOpen() const {
    return content_ && content_->isVisible();
}

void MenuBarExtra::showNote() {
    if (content_) {
        content_->setNote(note());
    }
}

// Where the window is all there is of Pinlet, it also says that closing it ends nothing.
QString MenuBarExtra::note() const {
    QStringList lines;
    if (!shortcutWhereKept_.isEmpty()) {
        lines << shortcutWhereKept_;
    }
    if (!attachedToTray_ && shortcutWorksWithoutWindow_) {
        lines << tr("Pinlet keeps running when this window is closed: the shortcut shows the "
                    "note, and Pinlet in the applications menu brings this window back.");
    }
    return lines.join(QLatin1Char('\n'));
}

bool MenuBarExtra::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        trayIcon_->setIcon(trayIconIn(trayForeground_));
    }
    if (watched == content_.get() && event->type() == QEvent::Close && !attachedToTray_ &&
        !shortcutWorksWithoutWindow_) {
        // The window is all there is of the application. Not quit(): the note panel, shown,
        // would refuse the close that quit() asks of every window.
        QCoreApplication::exit(0);
    }
    return false;
}

// Pinlet's own windows keep it open (its alerts, the note panel it shows). So does what happens
// before it first becomes active, and the focus going where Pinlet handed it back as the panel
// hid, with no active window at all on the way.
void MenuBarExtra::closeWhenAnotherApplicationTakesOver() {
    if (!contentIsOpen()) {
        return;
    }
    const auto frontmost = workspace_.frontmostApplication();
    if (frontmost && workspace_.isCurrentApplication(*frontmost)) {
        contentHasBeenActive_ = true;
        return;
    }
    const bool goingWhereHandedBack = handedBackTo_ && (!frontmost || frontmost == handedBackTo_);
    if (contentHasBeenActive_ && !goingWhereHandedBack) {
        content_->hide();
        closedByClickElsewhere_.start();
    }
}

void MenuBarExtra::toggleContent() {
    if (contentIsOpen()) {
        content_->hide();
        return;
    }
    if (closedByClickElsewhere_.isValid() &&
        closedByClickElsewhere_.elapsed() < reopenGuardMilliseconds) {
        return;
    }
    openAtIcon();
}

void MenuBarExtra::openAtIcon() {
    contentHasBeenActive_ = false;
    handedBackTo_.reset();
    placeContentNextToIcon();
    // A tray may pass the click on without the time of the input that caused it.
    showAsKeyWindow(*content_, workspace_);
}

// Trays that draw the icon themselves tell nothing of where it is: the pointer that clicked it
// stands for it then.
void MenuBarExtra::placeContentNextToIcon() {
    const QRect icon = trayIcon_->geometry();
    const QRect anchor = icon.isValid() ? icon : QRect(QCursor::pos(), QSize(1, 1));
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available = screen->availableGeometry();
    const QSize size = content().size();
    const bool anchorAtTop = anchor.center().y() < available.center().y();
    const QPoint origin(anchor.center().x() - size.width() / 2,
                        anchorAtTop ? anchor.bottom() + 1 : anchor.top() - size.height());
    content_->move(fittedInto(QRect(origin, size), available).topLeft());
}

} // namespace pinlet
