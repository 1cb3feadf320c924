#include "Pinlet/ToggleShortcut.h"

#include "KeyboardShortcuts/ModifierFlags.h"
#include "KeyboardShortcuts/internal/Testing.h"
#include "Pinlet/AppDelegate.h"
#include "Pinlet/NotePanel.h"
#include "tests/support/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

using KeyboardShortcuts::Shortcut;

constexpr std::uint32_t controlOption =
    KeyboardShortcuts::CarbonModifiers::control | KeyboardShortcuts::CarbonModifiers::option;
constexpr std::uint32_t n = 45;

class ToggleShortcutTest : public ::testing::Test {
public:
    ToggleShortcutTest(const ToggleShortcutTest&) = delete;
    ToggleShortcutTest& operator=(const ToggleShortcutTest&) = delete;

protected:
    ToggleShortcutTest() { KeyboardShortcuts::internal::resetLibraryState(); }
    ~ToggleShortcutTest() override { KeyboardShortcuts::internal::resetLibraryState(); }

    // The name may already exist in this process, so the store holds its default as after a
    // first run.
    void launch() {
        desktop.preferences.set("KeyboardShortcuts_togglePanel",
                                R"({"carbonKeyCode":45,"carbonModifiers":6144})");
        delegate.emplace(desktop.services());
        delegate->applicationDidFinishLaunching();
        desktop.workspace.frontmost = platform::RunningApplication{77, 1234};
    }
    bool isPanelVisible() { return delegate->panel().panel()->isVisible(); }

    test_support::FakeDesktop desktop;
    std::optional<pinlet::AppDelegate> delegate;
};

TEST_F(ToggleShortcutTest, TheDefaultIsControlOptionN) {
    launch();
    EXPECT_EQ(pinlet::togglePanel().rawValue(), "togglePanel");
    EXPECT_EQ(pinlet::togglePanel().defaultShortcut(), Shortcut(n, controlOption));
}

TEST_F(ToggleShortcutTest, OnlyTheReleaseShowsAndThenHidesThePanel) {
    launch();
    ASSERT_TRUE(desktop.hotKeys.isRegistered(n, controlOption));

    desktop.hotKeys.press(n, controlOption);
    EXPECT_FALSE(isPanelVisible());
    desktop.hotKeys.release(n, controlOption);
    EXPECT_TRUE(isPanelVisible());
    EXPECT_EQ(delegate->panel().panel()->focusWidget(), delegate->panel().textView());

    desktop.hotKeys.press(n, controlOption);
    EXPECT_TRUE(isPanelVisible());
    desktop.hotKeys.release(n, controlOption);
    EXPECT_FALSE(isPanelVisible());
    EXPECT_FALSE(delegate->store().isPanelVisible());
}

TEST_F(ToggleShortcutTest, AClearedShortcutTogglesNothingAndAGoneDelegateIsLeftAlone) {
    launch();
    pinlet::togglePanel().setShortcut(std::nullopt);
    EXPECT_TRUE(desktop.hotKeys.registered().empty());

    pinlet::togglePanel().setShortcut(Shortcut(n, controlOption));
    delegate.reset();
    EXPECT_EQ(desktop.hotKeys.release(n, controlOption), platform::HotKeyStatus::noError);
}

} // namespace
