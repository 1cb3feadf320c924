#include "KeyboardShortcuts/Presentation.h"
#include "tests/x11/support/SuiteSession.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

// The one XKB request the tests make; the xcb header that declares it cannot be compiled as C++.
extern "C" xcb_void_cookie_t xcb_xkb_latch_lock_state_checked(
    xcb_connection_t* connection, std::uint16_t deviceSpec, std::uint8_t affectModLocks,
    std::uint8_t modLocks, std::uint8_t lockGroup, std::uint8_t groupLock,
    std::uint8_t affectModLatches, std::uint8_t latchGroup, std::uint16_t groupLatch);

namespace {

using KeyboardShortcuts::Key;
using KeyboardShortcuts::presentableDescription;
using KeyboardShortcuts::Shortcut;
using test_support::x11::suiteSession;
using test_support::x11::waitUntil;
namespace Flags = platform::ModifierFlags;

// Puts the suite's display back on the US layout, whatever the test's outcome.
class DisplayKeyboardLayout : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(setLayout({"us"})); }
    void TearDown() override { setLayout({"us"}); }

    static bool setLayout(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "setxkbmap");
        return suiteSession().run(arguments).succeeded();
    }

    // Locks the keyboard group of the suite's display, as a layout switch key does.
    static bool lockGroup(std::uint8_t group) {
        constexpr std::uint16_t coreKeyboard = 0x100;
        const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
            xcb_connect(suiteSession().display().c_str(), nullptr), &xcb_disconnect);
        if (xkb_x11_setup_xkb_extension(
                connection.get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr) == 0) {
            return false;
        }
        const xcb_void_cookie_t request = xcb_xkb_latch_lock_state_checked(
            connection.get(), coreKeyboard, 0, 0, 1, group, 0, 0, 0);
        const std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
            xcb_request_check(connection.get(), request), &std::free);
        return !error;
    }

    // The description, once the running event loop has seen the server's notifications.
    static bool becomes(const Shortcut& shortcut, const std::string& description) {
        return waitUntil([&] { return presentableDescription(shortcut) == description; });
    }
};

TEST_F(DisplayKeyboardLayout, FollowsALayoutChangeWhileTheProgramRuns) {
    const Shortcut topLeftLetter(Key::q, Flags::command);
    ASSERT_TRUE(becomes(topLeftLetter, "⌘Q"));

    ASSERT_TRUE(setLayout({"fr"}));
    EXPECT_TRUE(becomes(topLeftLetter, "⌘A")) << presentableDescription(topLeftLetter);

    ASSERT_TRUE(setLayout({"-layout", "ru,us"}));
    EXPECT_TRUE(becomes(topLeftLetter, "⌘Q")) << presentableDescription(topLeftLetter);
}

TEST_F(DisplayKeyboardLayout, FollowsTheLockedGroup) {
    const Shortcut topLeftLetter(Key::q, Flags::control);
    ASSERT_TRUE(setLayout({"-layout", "us,fr"}));
    ASSERT_TRUE(becomes(topLeftLetter, "⌃Q"));

    ASSERT_TRUE(lockGroup(1));
    EXPECT_TRUE(becomes(topLeftLetter, "⌃A")) << presentableDescription(topLeftLetter);
    ASSERT_TRUE(lockGroup(0));
    EXPECT_TRUE(becomes(topLeftLetter, "⌃Q")) << presentableDescription(topLeftLetter);
}

} // namespace
