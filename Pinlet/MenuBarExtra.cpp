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

Qt::WindowFlags contentWindowFlags(bool attachedToTray) {
    return attachedToTray ? Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                          : Qt::Window;
}

} // namespace

MenuBarExtra::MenuBarExtra(PanelController& panel, platform::LoginItems& loginItems,
                           platform::SystemLog& systemLog) {
    const bool hasTray = QSystemTrayIcon::isSystemTrayAvailable();
    content_ =
        std::make_unique<MenuBarContent>(panel, loginItems, systemLog, contentWindowFlags(hasTray));
    if (!hasTray) {
        std::fputs("Pinlet: this desktop has no system tray; opening the Pinlet menu window "
                   "instead.\n",
                   stderr);
        // The window is all there is of the application: closing it quits.
        connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
        content_->show();
        return;
    }
    trayIcon_ = std::make_unique<QSystemTrayIcon>(menuBarIcon());
    trayIcon_->setToolTip(QStringLiteral("Pinlet"));
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) {
                    toggleContent();
                }
            });
    content_->installEventFilter(this);
    trayIcon_->show();
}

MenuBarExtra::~MenuBarExtra() = default;

QIcon MenuBarExtra::menuBarIcon() {
    return QIcon(QStringLiteral(":/icons/note.svg"));
}

bool MenuBarExtra::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_.get() && event->type() == QEvent::WindowDeactivate) {
        // Which window becomes active is only known once the change is complete.
        QTimer::singleShot(0, this, &MenuBarExtra::closeContentUnlessStillActive);
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
