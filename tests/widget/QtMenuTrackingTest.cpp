#include "platform/linux/QtMenuTracking.h"

#include "platform/MenuTracking.h"
#include "platform/NotificationCenter.h"

#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Tracking spans a menu and its submenus, and ends even when the menu goes while open.
TEST(QtMenuTracking, LastsFromTheFirstMenuShownToTheLastOneHiddenOrDestroyed) {
    platform::NotificationCenter notifications;
    const platform::linux_desktop::QtMenuTracking tracking(notifications);
    std::vector<std::string> posted;
    for (const char* name :
         {platform::menuDidBeginTrackingNotification, platform::menuDidEndTrackingNotification}) {
        notifications.addObserver(name, [&](const platform::Notification& notification) {
            posted.push_back(notification.name);
        });
    }
    auto menu = std::make_unique<QMenu>();
    QMenu* submenu = menu->addMenu(QStringLiteral("More"));
    menu->popup(QPoint(10, 10));
    submenu->popup(QPoint(40, 10));
    submenu->hide();
    EXPECT_EQ(posted.size(), 1U);
    menu.reset();
    EXPECT_EQ(posted, (std::vector<std::string>{platform::menuDidBeginTrackingNotification,
                                                platform::menuDidEndTrackingNotification}));
}

} // namespace
