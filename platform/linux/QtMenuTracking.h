#pragma once

#include <QObject>
#include <unordered_set>

namespace platform {
class NotificationCenter;
}

namespace platform::linux_desktop {

// Posts the menu-tracking notifications (platform/MenuTracking.h) as the application's menus
// are shown and hidden: began when the first one shows, ended when the last one is gone, so that
// opening and closing a submenu changes nothing. Lives on the main thread while it watches.
class QtMenuTracking final : public QObject {
public:
    explicit QtMenuTracking(NotificationCenter& notifications);
    QtMenuTracking(const QtMenuTracking&) = delete;
    QtMenuTracking& operator=(const QtMenuTracking&) = delete;
    ~QtMenuTracking() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void menuShown(const QObject* menu);
    void menuGone(const QObject* menu);

    NotificationCenter& notifications_;
    std::unordered_set<const QObject*> openMenus_;
};

} // namespace platform::linux_desktop
