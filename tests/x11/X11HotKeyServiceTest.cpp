#include "platform/linux/X11HotKeyService.h"

#include "platform/linux/X11UserTime.h"
#include "platform/linux/XkbKeymap.h"
#include "tests/x11/support/XSession.h"

#include <QTest>
#include <array>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

using namespace platform;
using platform::linux_desktop::X11HotKeyService;
using platform::linux_desktop::X11UserTime;
using platform::linux_desktop::XkbKeymap;
using test_support::x11::ChildProcess;
using test_support::x11::waitUntil;
using test_support::x11::XSession;
using testing::ElementsAre;

// Virtual key codes: physical positions.
constexpr std::uint32_t keyN = 45;
constexpr std::uint32_t keyM = 46;
constexpr std::uint32_t keyZ = 6; // where a German layout has Y
constexpr std::uint32_t insert = 114;
constexpr std::uint32_t function = 63;
constexpr std::uint32_t controlOption = HotKeyModifier::control | HotKeyModifier::option;
constexpr HotKeyId firstId{0x5150484B, 1};
constexpr std::array hotKeyKinds{
    EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyPressed},
    EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyReleased}};
constexpr auto press = KeyboardEventKind::hotKeyPressed;
constexpr auto release = KeyboardEventKind::hotKeyReleased;
constexpr auto eventTimeout = std::chrono::seconds(5);

// Core modifier bits of Xvfb's default keymap, for the other client's grabs.
constexpr std::uint16_t controlAltMask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

class X11HotKeyServiceTest : public testing::Test {
protected:
    X11HotKeyServiceTest() {
        handler = *service.installEventHandler([this](const KeyboardEvent& event) {
            events.push_back(event);
            return HotKeyStatus::noError;
        });
    }

    HotKeyRef registerOrFail(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyId id) {
        const auto registration = service.registerHotKey(keyCode, modifiers, id);
        EXPECT_EQ(registration.status, HotKeyStatus::noError);
        return registration.reference.value_or(0);
    }

    void xdotool(const std::vector<std::string>& arguments) const {
        std::vector<std::string> command{"xdotool"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = session.run(command);
        ASSERT_TRUE(result.succeeded()) << result.errors;
    }

    // Types the combination and waits until the given number of events has arrived in all.
    bool typeAndReceive(const std::string& combination, std::size_t total) {
        xdotool({"key", combination});
        return waitUntil([&] { return events.size() >= total; }, eventTimeout);
    }

    // Types the combination again and again until the events arrive: for a service that
    // follows a change only once it has read the change's notifications.
    bool typeUntilReceived(const std::string& combination, std::size_t total) {
        return waitUntil(
            [&] {
                xdotool({"key", combination});
                return waitUntil([&] { return events.size() >= total; }, std::chrono::seconds(1));
            },
            eventTimeout);
    }

    // Types a registered combination and lets the service read it, delivered or not: the
    // service keeps the time of every combination it sees.
    void typeAndLetThrough(const std::string& combination) {
        const auto before = userTime.latest();
        xdotool({"key", combination});
        EXPECT_TRUE(waitUntil([&] { return userTime.latest() != before; }, eventTimeout));
        QTest::qWait(100);
    }

    [[nodiscard]] std::vector<std::uint32_t> kinds() const {
        std::vector<std::uint32_t> result;
        for (const auto& event : events) {
            result.push_back(event.kind);
        }
        return result;
    }

    [[nodiscard]] std::string keycodeOf(std::uint32_t virtualKeyCode) const {
        xcb_connection_t* connection = xcb_connect(session.display().c_str(), nullptr);
        const auto keymap = XkbKeymap::fromXServer(connection);
        const auto keycode =
            keymap->keycodeForVirtualKeyCode(static_cast<std::uint16_t>(virtualKeyCode));
        xcb_disconnect(connection);
        return std::to_string(keycode.value_or(0));
    }

    // Another client grabbing the key with the modifier mask; "grabbed" or "refused".
    std::pair<ChildProcess, std::string> grabByAnotherClient(std::uint32_t virtualKeyCode,
                                                             std::uint16_t mask) {
        ChildProcess client = session.start(
            {PINLET_X11_KEY_GRAB_CLIENT, keycodeOf(virtualKeyCode), std::to_string(mask)});
        waitUntil([&] { return client.output().find('\n') != std::string::npos; });
        const std::string output = client.output();
        return {std::move(client), output.substr(0, output.find('\n'))};
    }

    XSession session;
    X11UserTime userTime;
    X11HotKeyService service{userTime, session.display()};
    std::vector<KeyboardEvent> events;
    HotKeyRef handler = 0;
};

TEST_F(X11HotKeyServiceTest, AHeldCombinationGivesOnePressAndOneReleaseWhileKeysRepeat) {
    registerOrFail(keyN, controlOption, firstId);
    service.addEventTypes(handler, hotKeyKinds);
    ASSERT_TRUE(session.run({"xset", "r", "on"}).succeeded());
    ASSERT_TRUE(session.run({"xset", "r", "rate", "200", "40"}).succeeded());

    xdotool({"keydown", "ctrl+alt+n"});
    QTest::qWait(1000);
    // The modifiers go first: the release still belongs to the combination.
    xdotool({"keyup", "ctrl+alt"});
    xdotool({"keyup", "n"});
    ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }, eventTimeout));
    QTest::qWait(200);

    ASSERT_THAT(kinds(), ElementsAre(press, release));
    EXPECT_EQ(events[0].hotKeyId, firstId);
    EXPECT_EQ(events[1].hotKeyId, firstId);
    EXPECT_EQ(events[1].keyCode, keyN);
    EXPECT_EQ(events[1].modifiers, controlOption);
    // Server times, handed on for focus requests.
    EXPECT_GE(events[1].timestamp - events[0].timestamp, 1000U);
    EXPECT_EQ(userTime.latest(), events[1].timestamp);
}

TEST_F(X11HotKeyServiceTest, LocksDoNotStopTheCombination) {
    registerOrFail(keyN, controlOption, firstId);
    service.addEventTypes(handler, hotKeyKinds);

    xdotool({"key", "Caps_Lock"});
    EXPECT_TRUE(typeAndReceive("ctrl+alt+n", 2)) << "Caps Lock";
    xdotool({"key", "Num_Lock"});
    EXPECT_TRUE(typeAndReceive("ctrl+alt+n", 4)) << "Caps Lock and Num Lock";
    xdotool({"key", "Caps_Lock"});
    EXPECT_TRUE(typeAndReceive("ctrl+alt+n", 6)) << "Num Lock";
    EXPECT_THAT(kinds(), ElementsAre(press, release, press, release, press, release));
}

TEST_F(X11HotKeyServiceTest, ACombinationHeldByAnotherClientExistsAndTheOthersKeepWorking) {
    // The other client holds only the Caps Lock state: the grabs made before it are undone.
    auto [holder, outcome] = grabByAnotherClient(keyN, controlAltMask | XCB_MOD_MASK_LOCK);
    ASSERT_EQ(outcome, "grabbed");
    const auto refused = service.registerHotKey(keyN, controlOption, firstId);
    EXPECT_EQ(refused.status, HotKeyStatus::hotKeyExists);
    EXPECT_FALSE(refused.reference);
    EXPECT_EQ(grabByAnotherClient(keyN, controlAltMask).second, "grabbed");

    registerOrFail(keyM, controlOption, {firstId.signature, 2});
    service.addEventTypes(handler, hotKeyKinds);
    ASSERT_TRUE(typeAndReceive("ctrl+alt+m", 2));
    EXPECT_EQ(events[0].hotKeyId.id, 2U);
}

TEST_F(X11HotKeyServiceTest, UnregisteringHandsTheCombinationToOthers) {
    const HotKeyRef reference = registerOrFail(keyN, controlOption, firstId);
    EXPECT_EQ(grabByAnotherClient(keyN, controlAltMask | XCB_MOD_MASK_2).second, "refused");

    service.unregisterHotKey(reference);
    service.unregisterHotKey(std::nullopt);
    EXPECT_EQ(grabByAnotherClient(keyN, controlAltMask | XCB_MOD_MASK_2).second, "grabbed");
}

TEST_F(X11HotKeyServiceTest, RefusesWhatThisDisplayCannotExpressAndOwnDuplicates) {
    const auto invalid = [&](std::uint32_t keyCode, std::uint32_t modifiers) {
        return service.registerHotKey(keyCode, modifiers, firstId).status ==
               HotKeyStatus::hotKeyInvalid;
    };
    EXPECT_TRUE(invalid(keyN, controlOption | HotKeyModifier::function));
    EXPECT_TRUE(invalid(function, HotKeyModifier::control));
    EXPECT_TRUE(invalid(0x10000 + keyN, HotKeyModifier::control));

    registerOrFail(keyN, controlOption | HotKeyModifier::capsLock, firstId);
    const auto duplicate = service.registerHotKey(keyN, controlOption, {firstId.signature, 2});
    EXPECT_EQ(duplicate.status, HotKeyStatus::hotKeyExists);
    EXPECT_FALSE(duplicate.reference);
}

TEST_F(X11HotKeyServiceTest, FollowsThePhysicalKeyThroughLayoutKeycodeAndModifierChanges) {
    registerOrFail(keyZ, controlOption, firstId);
    registerOrFail(insert, controlOption, {firstId.signature, 2});
    service.addEventTypes(handler, hotKeyKinds);

    ASSERT_TRUE(session.run({"setxkbmap", "de"}).succeeded());
    ASSERT_TRUE(typeUntilReceived("ctrl+alt+y", 2));
    EXPECT_EQ(events.back().hotKeyId, firstId);

    // Other keycodes for the keys beyond the letters.
    ASSERT_TRUE(session.run({"setxkbmap", "-keycodes", "xfree86", "de"}).succeeded());
    ASSERT_TRUE(typeUntilReceived("ctrl+alt+Insert", 4));
    EXPECT_EQ(events.back().hotKeyId.id, 2U);

    // Alt moves to another modifier bit.
    ASSERT_TRUE(session.run({"xmodmap", "-e", "clear mod1", "-e", "add mod3 = Alt_L"}).succeeded());
    ASSERT_TRUE(typeUntilReceived("ctrl+alt+y", 6));
    EXPECT_THAT(kinds(), ElementsAre(press, release, press, release, press, release));
}

TEST_F(X11HotKeyServiceTest, TheHandlerSeesOnlyTheKindsAddedToIt) {
    registerOrFail(keyN, controlOption, firstId);
    const std::span both(hotKeyKinds);

    service.addEventTypes(handler, both.last(1));
    ASSERT_TRUE(typeAndReceive("ctrl+alt+n", 1));
    service.addEventTypes(handler, both);
    ASSERT_TRUE(typeAndReceive("ctrl+alt+n", 3));
    service.removeEventTypes(handler, both);
    typeAndLetThrough("ctrl+alt+n");
    service.addEventTypes(handler + 1, both);
    typeAndLetThrough("ctrl+alt+n");
    service.addEventTypes(handler, both.last(1));
    ASSERT_TRUE(typeAndReceive("ctrl+alt+n", 4));

    EXPECT_THAT(kinds(), ElementsAre(release, press, release, release));
}

} // namespace
