#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/ModifierFlags.h"
#include "platform/linux/QtMenuTracking.h"
#include "tests/support/FakeLibraryServices.h"
#include "tests/x11/support/SuiteSession.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using test_support::x11::suiteSession;
using test_support::x11::waitUntil;

constexpr std::uint32_t controlShift =
    KeyboardShortcuts::CarbonModifiers::control | KeyboardShortcuts::CarbonModifiers::shift;

// While a menu of the application holds the keyboard, the hot keys are released and the
// shortcut's keys, typed into the menu, still reach their handler and not the menu, however
// the keys are let go. (Alt would close the menu itself, so the shortcut here does without.)
TEST(MenuShortcut, KeysTypedIntoAnOpenMenuReachTheHandlerAndTheHotKeyComesBackAfter) {
    test_support::FakeLibraryServices library;
    auto& hotKeys = library.hotKeys;
    const platform::linux_desktop::QtMenuTracking tracking(library.notifications);

    const KeyboardShortcuts::Name name(
        "menuTest", KeyboardShortcuts::Shortcut(KeyboardShortcuts::Key::n.rawValue, controlShift));
    std::vector<std::string> calls;
    KeyboardShortcuts::onKeyDown(name, [&] { calls.emplace_back("down"); });
    KeyboardShortcuts::onKeyUp(name, [&] { calls.emplace_back("up"); });

    QMenu menu;
    bool triggered = false;
    menu.addAction(QStringLiteral("&New"), [&] { triggered = true; });
    menu.popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_FALSE(hotKeys.isRegistered(45, controlShift));

    suiteSession().run({"xdotool", "key", "ctrl+shift+n"});
    EXPECT_TRUE(waitUntil([&] { return calls.size() == 2; }));
    EXPECT_EQ(calls, (std::vector<std::string>{"down", "up"}));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_FALSE(triggered);

    menu.hide();
    EXPECT_TRUE(hotKeys.isRegistered(45, controlShift));
}

} // namespace
