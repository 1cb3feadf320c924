#include "platform/linux/QtMenuTracking.h"

#include "platform/MenuTracking.h"
#include "platform/NotificationCenter.h"

#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

namespace {

class QtMenuTrackingTest : public ::testing::Test {
protected:
    QtMenuTrackingTest() {
        for (const char* name : {platform::menuDidBeginTrackingNotification,
                                 platform::menuDidEndTrackingNotification}) {
            notifications.addObserver(name, [this](const platform::Notification& notification) {
                posted.emplace_back(notification.name == platform::menuDidBeginTrackingNotification
                                        ? "began"
                                        : "ended");
            });
        }
    }

    platform::NotificationCenter notifications;
    platform::linux_desktop::QtMenuTracking tracking{notifications};
    std::vector<std::string> posted;
};

TEST_F(QtMenuTrackingTest, AMenuWithItsSubmenuIsTrackedFromTheFirstShownToTheLastHidden) {
    QMenu menu;
    QMenu* submenu = menu.addMenu(QStringLiteral("More"));
    menu.popup(QPoint(10, 10));
    submenu->popup(QPoint(40, 10));
    submenu->hide();
    EXPECT_EQ(posted, std::vector<std::string>{"began"});
    menu.hide();
    EXPECT_EQ(posted, (std::vector<std::string>{"began", "ended"}));
}

TEST_F(QtMenuTrackingTest, AMenuDestroyedWhileOpenEndsTracking) {
    auto menu = std::make_unique<QMenu>();
    menu->popup(QPoint(10, 10));
    menu.reset();
    EXPECT_EQ(posted, (std::vector<std::string>{"began", "ended"}));
}

} // namespace
