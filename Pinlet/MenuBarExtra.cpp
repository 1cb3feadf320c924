#include "Pinlet/MenuBarExtra.h"

#include "Pinlet/MenuBarContent.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
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

} // namespace

MenuBarExtra::MenuBarExtra(PanelController& panel, platform::LoginItems& loginItems,
                           platform::SystemLog& systemLog)
    : trayIcon_(std::make_unique<QSystemTrayIcon>(menuBarIcon())),
      content_(std::make_unique<MenuBarContent>(panel, loginItems, systemLog, trayWindowFlags)) {
    trayIcon_->setToolTip(QStringLiteral("Pinlet"));
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) {
                    toggleContent();
                }
            });
    content_->installEventFilter(this);
    // Shown even without a tray: Qt embeds a shown icon in a tray that appears later.
    trayIcon_->show();
    attachedToTray_ = QSystemTrayIcon::isSystemTrayAvailable();
    if (!attachedToTray_) {
        waitForTray();
    }
}

MenuBarExtra::~MenuBarExtra() = default;

QIcon MenuBarExtra::menuBarIcon() {
    return QIcon(QStringLiteral(":/icons/note.svg"));
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
    content_->hide();
    content_->setWindowFlags(trayWindowFlags);
}

void MenuBarExtra::openWithoutTray() {
    std::fputs("Pinlet: this desktop has no system tray; opening the Pinlet menu window "
               "instead.\n",
               stderr);
    content_->setWindowFlags(Qt::Window);
    content_->show();
}

bool MenuBarExtra::eventFilter(QObject* watched, QEvent* event) {
    if (watched != content_.get()) {
        return false;
    }
    if (event->type() == QEvent::WindowDeactivate && attachedToTray_) {
        // Which window becomes active is only known once the change is complete.
        QTimer::singleShot(0, this, &MenuBarExtra::closeContentUnlessStillActive);
    } else if (event->type() == QEvent::Close && !attachedToTray_) {
        // The window is all there is of the application.
        QCoreApplication::quit();
    }
    return false;
}

void MenuBarExtra::closeContentUnlessStillActive() {
    // Activating the note panel from the window keeps the window open; another
    // application taking over closes it.
    if (content_->isVisible() && QApplication::activeWindow() == nullptr) {
        content_->hide();
        closedByClickElsewhere_.start();
    }
}

void MenuBarExtra::toggleContent() {
    if (content_->isVisible()) {
        content_->hide();
        return;
    }
    if (closedByClickElsewhere_.isValid() &&
        closedByClickElsewhere_.elapsed() < reopenGuardMilliseconds) {
        return;
    }
    placeContentNextToIcon();
    content_->show();
    content_->raise();
    content_->activateWindow();
}

void MenuBarExtra::placeContentNextToIcon() {
    const QRect icon = trayIcon_->geometry();
    const QScreen* screen = QGuiApplication::screenAt(icon.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available = screen->availableGeometry();
    const QSize size = content_->sizeHint();
    const bool iconAtTop = icon.center().y() < available.center().y();
    QPoint origin(icon.center().x() - size.width() / 2,
                  iconAtTop ? icon.bottom() + 1 : icon.top() - size.height());
    origin.setX(std::clamp(origin.x(), available.left(), available.right() - size.width()));
    origin.setY(std::clamp(origin.y(), available.top(), available.bottom() - size.height()));
    content_->move(origin);
}

} // namespace pinlet
