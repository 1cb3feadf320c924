#include "Pinlet/MenuBarContent.h"

#include "tests/widget/PanelFixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace {

class MenuBarContentTest : public test_support::PanelFixture {
protected:
    void SetUp() override {
        start();
        controller().setUp();
        content.emplace(controller(), desktop.loginItems, desktop.systemLog, Qt::Window);
    }

    QPushButton* button(const QString& text) {
        for (auto* candidate : content->findChildren<QPushButton*>()) {
            if (candidate->text() == text) {
                return candidate;
            }
        }
        return nullptr;
    }

    QCheckBox& launchSwitch() { return *content->findChild<QCheckBox*>(); }

    std::optional<pinlet::MenuBarContent> content;
};

TEST_F(MenuBarContentTest, TheToggleButtonFollowsThePanelWhileTheWindowIsOpen) {
    content->show();
    EXPECT_EQ(content->windowTitle(), "Pinlet menu");
    ASSERT_NE(button("Show Note"), nullptr);
    QTest::mouseClick(button("Show Note"), Qt::LeftButton);
    EXPECT_TRUE(panel().isVisible());
    ASSERT_NE(button("Hide Note"), nullptr);
    controller().hide();
    EXPECT_NE(button("Show Note"), nullptr);
}

TEST_F(MenuBarContentTest, LaunchAtLoginFollowsTheService) {
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    EXPECT_EQ(desktop.loginItems.currentStatus, platform::LoginItems::Status::enabled);
    EXPECT_TRUE(launchSwitch().isChecked());
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    EXPECT_FALSE(launchSwitch().isChecked());
    EXPECT_TRUE(desktop.systemLog.lines.empty());
}

TEST_F(MenuBarContentTest, AFailedChangeIsLoggedAndTheSwitchSpringsBack) {
    desktop.loginItems.failure = "/home/u/.config/autostart: Permission denied";
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    EXPECT_FALSE(launchSwitch().isChecked());
    EXPECT_EQ(desktop.systemLog.lines,
              std::vector<std::string>{"Pinlet: launch at login change failed: "
                                       "/home/u/.config/autostart: Permission denied"});
}

TEST_F(MenuBarContentTest, AChangeMadeElsewhereShowsWhenTheWindowOpens) {
    desktop.loginItems.currentStatus = platform::LoginItems::Status::enabled;
    content->show();
    EXPECT_TRUE(launchSwitch().isChecked());
    content->hide();
    desktop.loginItems.currentStatus = platform::LoginItems::Status::notRegistered;
    content->show();
    EXPECT_FALSE(launchSwitch().isChecked());
}

TEST_F(MenuBarContentTest, QuitIsOnThePrimaryModifierAndQ) {
    ASSERT_NE(button("Quit Pinlet"), nullptr);
    EXPECT_EQ(button("Quit Pinlet")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

} // namespace
