#include "tests/widget/PanelFixture.h"

#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <linux/input-event-codes.h>

namespace {

class PanelControllerTest : public test_support::PanelFixture {
protected:
    [[nodiscard]] bool isCentred() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        return (panel().geometry().center() - screen.center()).manhattanLength() <= 2;
    }
};

TEST_F(PanelControllerTest, ShowRemembersTheOtherApplicationAndHideHandsFocusBack) {
    launch();
    workspace.frontmost = otherApp;

    controller().toggle();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(workspace.keyWindows.back(), panel().winId());

    workspace.frontmost = thisApp;
    controller().toggle();
    EXPECT_FALSE(panel().isVisible());
    EXPECT_FALSE(store().isPanelVisible());
    EXPECT_EQ(workspace.activations, std::vector{otherApp});

    // An application that has gone away is not activated.
    workspace.frontmost = otherApp;
    controller().show();
    workspace.terminate(otherApp);
    controller().hide();
    EXPECT_EQ(workspace.activations.size(), 1U);

    // Visible at the last quit, the panel shows at launch.
    controller().show();
    launch();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(controller().previousApp(), otherApp);
}

TEST_F(PanelControllerTest, FontStepsStayWithinTheLimitsAndReachTheEditor) {
    launch();
    const struct {
        double from;
        std::optional<int> step;
        double to;
    } steps[] = {{20.5, +1, 21.5}, {35.5, +1, 36}, {36, +1, 36}, {9.5, -1, 9}, {9, -1, 9}};
    for (const auto& [from, step, to] : steps) {
        store().setFontSize(from);
        controller().stepFontSize(step);
        EXPECT_EQ(store().fontSize(), to) << from;
        EXPECT_EQ(textView().font().pointSizeF(), to) << from;
    }
}

// Clearing is an edit the editor can undo, or refuse; without an editor the note just empties.
TEST_F(PanelControllerTest, ClearIsUndoneWithThePrimaryModifierAndZUnlessTheEditorRefuses) {
    preferences.set("noteText", std::string("keep me"));
    launch();
    controller().show();
    controller().clear();
    EXPECT_EQ(preferences.string("noteText"), "");

    press(Qt::Key_Z, Qt::ControlModifier, KEY_Z, QStringLiteral("\x1a"));
    EXPECT_EQ(textView().toPlainText(), "keep me");
    EXPECT_EQ(preferences.string("noteText"), "keep me");
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, KEY_Z, QStringLiteral("\x1a"));
    EXPECT_EQ(store().text(), "");

    press(Qt::Key_Z, Qt::ControlModifier, KEY_Z, QStringLiteral("\x1a"));
    textView().setReadOnly(true);
    controller().clear();
    EXPECT_EQ(preferences.string("noteText"), "keep me");
    delete controller().textView();
    controller().clear();
    EXPECT_EQ(store().text(), "");
}

TEST_F(PanelControllerTest, PanelKeysReachTheControllerAndTheEditor) {
    preferences.set("noteText", std::string("all of it"));
    launch();
    controller().show();

    press(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, KEY_EQUAL, QStringLiteral("+"));
    EXPECT_EQ(store().fontSize(), 14);
    press(Qt::Key_Minus, Qt::ControlModifier, KEY_MINUS, QStringLiteral("-"));
    press(Qt::Key_Minus, Qt::ControlModifier, KEY_MINUS, QStringLiteral("-"));
    EXPECT_EQ(store().fontSize(), 12);
    press(Qt::Key_0, Qt::ControlModifier, KEY_0, QStringLiteral("0"));
    EXPECT_EQ(store().fontSize(), 13);

    press(Qt::Key_A, Qt::ControlModifier, KEY_A, QStringLiteral("\x01"));
    press(Qt::Key_X, Qt::ControlModifier, KEY_X, QStringLiteral("\x18"));
    EXPECT_EQ(store().text(), "");
    press(Qt::Key_V, Qt::ControlModifier, KEY_V, QStringLiteral("\x16"));
    press(Qt::Key_V, Qt::ControlModifier, KEY_V, QStringLiteral("\x16"));
    EXPECT_EQ(store().text(), "all of itall of it");
    // Other combinations are the editor's, or else the desktop's.
    press(Qt::Key_Backspace, Qt::ControlModifier, KEY_BACKSPACE, QStringLiteral("\x08"));
    EXPECT_EQ(store().text(), "all of itall of ");
    EXPECT_FALSE(press(Qt::Key_W, Qt::ControlModifier, KEY_W, QStringLiteral("\x17")));

    // Escape during an input-method composition is the input method's.
    QInputMethodEvent composing(QStringLiteral("ka"), {});
    QApplication::sendEvent(&textView(), &composing);
    press(Qt::Key_Escape, {}, KEY_ESC, QStringLiteral("\x1b"));
    EXPECT_TRUE(panel().isVisible());
    QInputMethodEvent committed;
    QApplication::sendEvent(&textView(), &committed);
    // Caps Lock made into Escape, as many users have it.
    press(Qt::Key_Escape, Qt::ShiftModifier, KEY_CAPSLOCK, QStringLiteral("\x1b"));
    EXPECT_FALSE(panel().isVisible());
}

TEST_F(PanelControllerTest, TheFrameIsKeptAcrossLaunchesUnlessItIsOffScreenOrUnreadable) {
    launch();
    EXPECT_TRUE(isCentred());
    controller().show();
    panel().move(100, 120); // as the window manager moves and resizes it
    EXPECT_EQ(preferences.string(pinlet::PanelController::frameKey), "100 120 380 280");
    panel().resize(500, 300);
    EXPECT_EQ(preferences.string(pinlet::PanelController::frameKey), "100 120 500 300");
    launch();
    EXPECT_EQ(panel().geometry(), QRect(100, 120, 500, 300));

    // A frame that sticks out, or is larger than the screen, is brought wholly onto it.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    preferences.set(pinlet::PanelController::frameKey,
                    QStringLiteral("%1 0 500 300").arg(area.right()).toStdString());
    launch();
    EXPECT_EQ(panel().geometry(), QRect(area.right() + 1 - 500, area.top(), 500, 300));
    preferences.set(pinlet::PanelController::frameKey, std::string("0 0 20000 20000"));
    launch();
    EXPECT_EQ(panel().geometry(), area);

    for (const char* saved : {"-9000 -9000 400 300", "garbage", "10 10 20 20", "1 2 3"}) {
        preferences.set(pinlet::PanelController::frameKey, std::string(saved));
        launch();
        EXPECT_TRUE(isCentred()) << saved;
        EXPECT_EQ(panel().size(), QSize(380, 280)) << saved;
    }
}

} // namespace
