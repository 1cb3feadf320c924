#include "KeyboardShortcuts/MenuItemBinding.h"
#include "KeyboardShortcuts/RecorderCocoa.h"
#include "KeyboardShortcuts/ViewModifiers.h"
#include "tests/unit/KeyboardShortcutsFixture.h"

#include <QAction>
#include <QPushButton>

namespace {

using namespace KeyboardShortcuts;

class BindingTest : public test_support::KeyboardShortcutsFixture {
protected:
    const Shortcut n = controlOptionShortcut(Key::n);
    const Shortcut m = controlOptionShortcut(Key::m);
    const Name toggle{"toggle", n};
    const Name other{"other", m};
};

TEST_F(BindingTest, ABoundActionFollowsItsNameOneTurnLaterUntilCleared) {
    QAction action;
    setShortcutFor(action, toggle);
    EXPECT_EQ(action.shortcut(), QKeySequence("Ctrl+Alt+N"));
    toggle.setShortcut(Shortcut(Key::k, platform::ModifierFlags::command));
    other.setShortcut(std::nullopt);
    EXPECT_EQ(action.shortcut(), QKeySequence("Ctrl+Alt+N"));
    library.mainQueue.runPending();
    EXPECT_EQ(action.shortcut(), QKeySequence("Meta+K"));
    toggle.setShortcut(std::nullopt);
    library.mainQueue.runPending();
    EXPECT_TRUE(action.shortcut().isEmpty());

    toggle.setShortcut(n);
    setShortcutFor(action, std::nullopt);
    EXPECT_TRUE(action.shortcut().isEmpty());
    library.mainQueue.runPending();
    toggle.setShortcut(m);
    library.mainQueue.runPending();
    EXPECT_TRUE(action.shortcut().isEmpty());
}

TEST_F(BindingTest, AHiddenWidgetGetsNothingAndReleasesTheHotKey) {
    QWidget widget;
    std::vector<EventType> seen;
    onKeyboardShortcut(widget, toggle, [&](EventType type) { seen.push_back(type); });
    widget.show();
    library.mainQueue.runPending();
    press(n);
    release(n);
    widget.hide();
    library.mainQueue.runPending();
    EXPECT_FALSE(isRegistered(n));
    widget.show();
    library.mainQueue.runPending();
    release(n);
    EXPECT_EQ(seen, (std::vector{EventType::keyDown, EventType::keyUp, EventType::keyUp}));
}

TEST_F(BindingTest, AButtonsShortcutFollowsTheNameAndIsOffWhileRecording) {
    QPushButton button;
    globalKeyboardShortcut(button, toggle);
    EXPECT_EQ(button.shortcut(), QKeySequence("Ctrl+Alt+N"));
    const auto announce = [&](bool active) {
        library.notifications.post(std::string(recorderActiveStatusDidChange),
                                   {{"isActive", active}});
    };
    announce(true);
    EXPECT_TRUE(button.shortcut().isEmpty());
    toggle.setShortcut(m);
    EXPECT_TRUE(button.shortcut().isEmpty());
    announce(false);
    EXPECT_EQ(button.shortcut(), QKeySequence("Ctrl+Alt+M"));
    other.setShortcut(n);
    EXPECT_EQ(button.shortcut(), QKeySequence("Ctrl+Alt+M"));
}

} // namespace
