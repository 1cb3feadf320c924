#include "Pinlet/NoteTextView.h"
#include "tests/widget/PanelFixture.h"

#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <linux/input-event-codes.h>

namespace {

using pinlet::NoteStore;

class PanelControllerTest : public test_support::PanelFixture {};

TEST_F(PanelControllerTest, BeforeSetUpNothingCanBeShown) {
    start();
    controller().show();
    controller().toggle();
    controller().hide();
    EXPECT_EQ(controller().panel(), nullptr);
    EXPECT_FALSE(store().isPanelVisible());
    EXPECT_TRUE(desktop.workspace.activations.empty());
}

TEST_F(PanelControllerTest, FirstLaunchBuildsAHiddenCentredPanelWithItsEditor) {
    start();
    controller().setUp();
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(panel().windowTitle(), "Pinlet");
    EXPECT_EQ(panel().size(), QSize(380, 280));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((panel().geometry().center() - screen.center()).manhattanLength(), 2);
    ASSERT_NE(controller().textView(), nullptr);
    EXPECT_EQ(desktop.workspace.windowsOnAllDesktops.size(), 1U);
}

TEST_F(PanelControllerTest, ShowRemembersTheOtherApplicationAndHideHandsFocusBack) {
    start();
    controller().setUp();
    desktop.workspace.frontmost = otherApp;

    controller().show();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(store().isPanelVisible());
    EXPECT_EQ(desktop.preferences.boolValue("isPanelVisible"), true);
    EXPECT_EQ(controller().previousApp(), otherApp);
    EXPECT_EQ(desktop.workspace.keyWindows.back(), panel().winId());
    EXPECT_EQ(panel().focusWidget(), controller().textView());

    desktop.workspace.frontmost = thisApp;
    controller().hide();
    EXPECT_FALSE(panel().isVisible());
    EXPECT_FALSE(store().isPanelVisible());
    EXPECT_EQ(desktop.workspace.activations, std::vector{otherApp});
}

TEST_F(PanelControllerTest, ShowingWhileThisApplicationIsInFrontKeepsTheRememberedOne) {
    start();
    controller().setUp();
    desktop.workspace.frontmost = thisApp;
    controller().show();
    EXPECT_EQ(controller().previousApp(), std::nullopt);
    controller().hide();
    EXPECT_TRUE(desktop.workspace.activations.empty());

    desktop.workspace.frontmost = otherApp;
    controller().show();
    controller().hide();
    desktop.workspace.frontmost = thisApp;
    controller().show();
    controller().hide();
    EXPECT_EQ(desktop.workspace.activations, (std::vector{otherApp, otherApp}));
}

TEST_F(PanelControllerTest, ATerminatedApplicationIsNotActivated) {
    start();
    controller().setUp();
    desktop.workspace.frontmost = otherApp;
    controller().show();
    desktop.workspace.terminate(otherApp);
    controller().hide();
    EXPECT_TRUE(desktop.workspace.activations.empty());
    EXPECT_FALSE(panel().isVisible());
}

TEST_F(PanelControllerTest, ToggleFollowsVisibility) {
    start();
    controller().setUp();
    controller().toggle();
    EXPECT_TRUE(panel().isVisible());
    controller().toggle();
    EXPECT_FALSE(panel().isVisible());
}

TEST_F(PanelControllerTest, APanelVisibleAtTheLastQuitIsShownAtLaunch) {
    desktop.preferences.set("isPanelVisible", true);
    desktop.workspace.frontmost = otherApp;
    start();
    controller().setUp();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(controller().previousApp(), otherApp);
}

TEST_F(PanelControllerTest, FontStepsStayWithinTheLimits) {
    desktop.preferences.set("fontSize", 20.5);
    start();
    controller().setUp();
    controller().stepFontSize(+1);
    EXPECT_EQ(store().fontSize(), 21.5);
    controller().stepFontSize(-1);
    controller().stepFontSize(-1);
    EXPECT_EQ(store().fontSize(), 19.5);
    controller().stepFontSize(std::nullopt);
    EXPECT_EQ(store().fontSize(), 13);

    store().setFontSize(36);
    controller().stepFontSize(+1);
    EXPECT_EQ(store().fontSize(), 36);
    store().setFontSize(9);
    controller().stepFontSize(-1);
    EXPECT_EQ(store().fontSize(), 9);
    EXPECT_EQ(textView().font().pointSizeF(), 9);
}

TEST_F(PanelControllerTest, ClearIsUndoneWithThePrimaryModifierAndZ) {
    desktop.preferences.set("noteText", std::string("keep me"));
    start();
    controller().setUp();
    controller().show();

    controller().clear();
    EXPECT_EQ(textView().toPlainText(), "");
    EXPECT_EQ(store().text(), "");
    EXPECT_EQ(desktop.preferences.string("noteText"), "");

    press(Qt::Key_Z, Qt::ControlModifier, KEY_Z, QStringLiteral("\x1a"));
    EXPECT_EQ(textView().toPlainText(), "keep me");
    EXPECT_EQ(store().text(), "keep me");
    EXPECT_EQ(desktop.preferences.string("noteText"), "keep me");

    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, KEY_Z, QStringLiteral("\x1a"));
    EXPECT_EQ(store().text(), "");
}

TEST_F(PanelControllerTest, ClearDoesNothingWhenTheEditorRefuses) {
    desktop.preferences.set("noteText", std::string("locked"));
    start();
    controller().setUp();
    textView().setReadOnly(true);
    const auto writes = desktop.preferences.writes.size();
    controller().clear();
    EXPECT_EQ(textView().toPlainText(), "locked");
    EXPECT_EQ(store().text(), "locked");
    EXPECT_EQ(desktop.preferences.writes.size(), writes);
}

TEST_F(PanelControllerTest, ClearWithoutAnEditorEmptiesTheStore) {
    desktop.preferences.set("noteText", std::string("gone"));
    start();
    controller().setUp();
    delete controller().textView();
    controller().clear();
    EXPECT_EQ(store().text(), "");
}

TEST_F(PanelControllerTest, PanelKeysReachTheController) {
    start();
    controller().setUp();
    desktop.workspace.frontmost = otherApp;
    controller().show();

    press(Qt::Key_Equal, Qt::ControlModifier, KEY_EQUAL, QStringLiteral("="));
    press(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, KEY_EQUAL, QStringLiteral("+"));
    EXPECT_EQ(store().fontSize(), 15);
    press(Qt::Key_Minus, Qt::ControlModifier, KEY_MINUS, QStringLiteral("-"));
    EXPECT_EQ(store().fontSize(), 14);
    press(Qt::Key_0, Qt::ControlModifier, KEY_0, QStringLiteral("0"));
    EXPECT_EQ(store().fontSize(), 13);

    press(Qt::Key_Escape, Qt::ShiftModifier, KEY_ESC, QStringLiteral("\x1b"));
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(desktop.workspace.activations, std::vector{otherApp});
}

TEST_F(PanelControllerTest, EditingKeysActOnTheNote) {
    desktop.preferences.set("noteText", std::string("all of it"));
    start();
    controller().setUp();
    controller().show();
    press(Qt::Key_A, Qt::ControlModifier, KEY_A, QStringLiteral("\x01"));
    EXPECT_EQ(textView().textCursor().selectedText(), "all of it");
    press(Qt::Key_X, Qt::ControlModifier, KEY_X, QStringLiteral("\x18"));
    EXPECT_EQ(store().text(), "");
    press(Qt::Key_V, Qt::ControlModifier, KEY_V, QStringLiteral("\x16"));
    press(Qt::Key_V, Qt::ControlModifier, KEY_V, QStringLiteral("\x16"));
    EXPECT_EQ(store().text(), "all of itall of it");
}

TEST_F(PanelControllerTest, TheFrameIsSavedAndRestoredOnTheNextLaunch) {
    start();
    controller().setUp();
    controller().show();
    panel().setGeometry(100, 120, 500, 300);
    EXPECT_EQ(desktop.preferences.string(pinlet::PanelController::frameKey), "100 120 500 300");

    start();
    controller().setUp();
    EXPECT_EQ(panel().geometry(), QRect(100, 120, 500, 300));
}

TEST_F(PanelControllerTest, AFrameOffEveryScreenOrUnreadableIsReplacedByACentredOne) {
    for (const char* saved : {"-9000 -9000 400 300", "garbage", "10 10 20 20", "1 2 3"}) {
        desktop.preferences.set(pinlet::PanelController::frameKey, std::string(saved));
        start();
        controller().setUp();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((panel().geometry().center() - screen.center()).manhattanLength(), 2) << saved;
        EXPECT_EQ(panel().size(), QSize(380, 280)) << saved;
    }
}

} // namespace
