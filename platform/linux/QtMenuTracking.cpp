#include "platform/linux/QtMenuTracking.h"

#include "platform/MenuTracking.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

namespace platform::linux_desktop {

QtMenuTracking::QtMenuTracking(NotificationCenter& notifications) : notifications_(notifications) {
    QCoreApplication::instance()->installEventFilter(this);
}

QtMenuTracking::~QtMenuTracking() {
    if (auto* application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
    }
}

bool QtMenuTracking::eventFilter(QObject* watched, QEvent* event) {
    if (qobject_cast<QMenu*>(watched) != nullptr) {
        if (event->type() == QEvent::Show) {
            menuShown(watched);
        } else if (event->type() == QEvent::Hide) {
            menuGone(watched);
        }
    }
    return false;
}

void QtMenuTracking::menuShown(const QObject* menu) {
    if (!openMenus_.insert(menu).second) {
        return;
    }
    // A menu destroyed while open sends no Hide event.
    connect(menu, &QObject::destroyed, this, [this, menu] { menuGone(menu); });
    if (openMenus_.size() == 1) {
        notifications_.post(menuDidBeginTrackingNotification);
    }
}

void QtMenuTracking::menuGone(const QObject* menu) {
    if (openMenus_.erase(menu) == 0) {
        return;
    }
    disconnect(menu, &QObject::destroyed, this, nullptr);
    if (openMenus_.empty()) {
        notifications_.post(menuDidEndTrackingNotification);
    }
}

} // namespace platform::linux_desktop
