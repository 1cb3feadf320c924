#include "KeyboardShortcuts/LocalEventMonitor.h"

#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/ModifierFlags.h"
#include "platform/linux/QtMenuTracking.h"
#include "platform/linux/x11/DisplayKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "tests/support/FakeLibraryServices.h"
#include "tests/x11/support/XSession.h"

#include <QKeyEvent>
#include <QMenu>
#include <QWindow>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <memory>

namespace {

using KeyboardShortcuts::Key;
using test_support::x11::suiteSession;
using test_support::x11::waitUntil;

constexpr std::uint32_t controlShift =
    KeyboardShortcuts::CarbonModifiers::control | KeyboardShortcuts::CarbonModifiers::shift;

// Notes the text of the key presses that get through to it.
struct TypingWindow final : QWindow {
    std::string typed;

    void press(int evdevCode, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, evdevCode + 8, 0, 0,
                        text);
        QCoreApplication::sendEvent(this, &event);
    }

    void keyPressEvent(QKeyEvent* event) override { typed += event->text().toStdString(); }
};

// The application's key events, seen through the display's keymap.
class LocalEventMonitorTest : public testing::Test {
protected:
    test_support::FakeLibraryServices library{platform::linux_desktop::displayKeyboardLayout(),
                                              platform::linux_desktop::displayKeyEventTranslator()};
};

TEST_F(LocalEventMonitorTest, SwallowsOrReplacesKeysFromStartUntilDestroyed) {
    TypingWindow window;
    {
        KeyboardShortcuts::LocalEventMonitor monitor(
            KeyboardShortcuts::eventMask(platform::EventType::keyDown),
            [](const platform::Event& event) -> std::optional<platform::Event> {
                if (event.keyCode == Key::s.rawValue) {
                    return std::nullopt;
                }
                platform::Event replacement = event;
                replacement.characters = "x";
                return replacement;
            });
        window.press(KEY_N, "n");
        monitor.start();
        window.press(KEY_S, "s");
        window.press(KEY_N, "n");
    }
    window.press(KEY_S, "s");
    EXPECT_EQ(window.typed, "nxs");
}

// While a menu of the application holds the keyboard, the hot keys are released and the
// shortcut's keys, typed into the menu, still reach their handler and not the menu, however
// the keys are let go. (Alt would close the menu itself, so the shortcut here does without.)
// The hot keys come back once no menu is open, submenus included, even when one is destroyed.
TEST_F(LocalEventMonitorTest, KeysTypedIntoAnOpenMenuReachTheShortcutAndTheHotKeyComesBackAfter) {
    const platform::linux_desktop::QtMenuTracking tracking(library.notifications);
    const auto isRegistered = [&] { return library.hotKeys.isRegistered(45, controlShift); };

    const KeyboardShortcuts::Name name("menuTest",
                                       KeyboardShortcuts::Shortcut(Key::n.rawValue, controlShift));
    std::vector<std::string> calls;
    KeyboardShortcuts::onKeyDown(name, [&] { calls.emplace_back("down"); });
    KeyboardShortcuts::onKeyUp(name, [&] { calls.emplace_back("up"); });

    auto menu = std::make_unique<QMenu>();
    bool triggered = false;
    menu->addAction(QStringLiteral("&New"), [&] { triggered = true; });
    QMenu* submenu = menu->addMenu(QStringLiteral("More"));
    menu->popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    submenu->popup(QPoint(140, 100));
    submenu->hide();
    EXPECT_FALSE(isRegistered());

    ASSERT_TRUE(suiteSession().run({"xdotool", "key", "ctrl+shift+n"}));
    EXPECT_TRUE(waitUntil([&] { return calls.size() == 2; }));
    EXPECT_EQ(calls, (std::vector<std::string>{"down", "up"}));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(triggered);

    menu->hide();
    EXPECT_TRUE(isRegistered());
    menu->popup(QPoint(100, 100));
    EXPECT_FALSE(isRegistered());
    menu.reset();
    EXPECT_TRUE(isRegistered());
}

} // namespace
