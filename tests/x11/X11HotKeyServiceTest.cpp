#include "platform/linux/x11/X11HotKeyService.h"

#include "platform/linux/x11/X11UserTime.h"
#include "tests/x11/support/XSession.h"

#include <array>
#include <dlfcn.h>
#include <gtest/gtest.h>
#define explicit explicit_ // xkb.h names a member after the C++ keyword
#include <xcb/xkb.h>
#undef explicit

namespace {

// While set, the X connections made ask for no per-client flags, as on a server without them.
bool askForNoFlags = false;

} // namespace

// Comes before the library's own: the executable's definition wins.
extern "C" xcb_xkb_per_client_flags_cookie_t
xcb_xkb_per_client_flags(xcb_connection_t* c, xcb_xkb_device_spec_t deviceSpec,
                         std::uint32_t change, std::uint32_t value, std::uint32_t ctrlsToChange,
                         std::uint32_t autoCtrls, std::uint32_t autoCtrlsValues) {
    static auto* const ask = reinterpret_cast<decltype(&xcb_xkb_per_client_flags)>(
        dlsym(RTLD_NEXT, "xcb_xkb_per_client_flags"));
    return ask(c, deviceSpec, askForNoFlags ? 0 : change, value, ctrlsToChange, autoCtrls,
               autoCtrlsValues);
}

namespace {

using namespace platform;
using platform::linux_desktop::X11HotKeyService;
using platform::linux_desktop::X11UserTime;
using test_support::x11::waitUntil;
using test_support::x11::XSession;

// Virtual key codes: physical positions.
constexpr std::uint32_t keyN = 45;
constexpr std::uint32_t keyM = 46;
constexpr std::uint32_t keyZ = 6; // where a German layout has Y
constexpr std::uint32_t insert = 114;
constexpr std::uint32_t controlOption = HotKeyModifier::control | HotKeyModifier::option;
constexpr HotKeyId firstId{0x5150484B, 1};
constexpr HotKeyId secondId{0x5150484B, 2};

// N and Ctrl+Alt on the X server's default keymap, for the grabs of another client.
constexpr std::uint8_t keycodeN = 57;
constexpr std::uint16_t controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

class X11HotKeyServiceTest : public testing::Test {
protected:
    X11HotKeyServiceTest() { listenTo(service); }

    void listenTo(X11HotKeyService& hotKeys) {
        const auto handler = hotKeys.installEventHandler([this](const KeyboardEvent& event) {
            events.push_back(event);
            return HotKeyStatus::noError;
        });
        const std::array kinds{
            EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyPressed},
            EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyReleased}};
        hotKeys.addEventTypes(*handler, kinds);
    }

    // Types the combination again and again until the events have come: the service follows a
    // keyboard change only once it has read the server's notifications of it.
    bool typeUntilReceived(const QString& combination) {
        const std::size_t total = events.size() + 2;
        return waitUntil([&] {
            return session.run({"xdotool", "key", combination}) &&
                   waitUntil([&] { return events.size() >= total; }, 1000);
        });
    }

    XSession session{{.windowManager = false}};
    X11UserTime userTime;
    X11HotKeyService service{userTime, session.display()};
    std::vector<KeyboardEvent> events;
};

// A held key repeats its press, or, on a server without detectable auto-repeat, its release and
// press.
TEST_F(X11HotKeyServiceTest, AHeldCombinationGivesOnePressAndOneReleaseWhileKeysRepeat) {
    askForNoFlags = true;
    X11HotKeyService plain(userTime, session.display());
    askForNoFlags = false;
    listenTo(plain);
    ASSERT_TRUE(session.run({"xset", "r", "rate", "200", "40"}));
    for (X11HotKeyService* hotKeys : {&service, &plain}) {
        events.clear();
        const auto registration = hotKeys->registerHotKey(keyN, controlOption, firstId);
        ASSERT_EQ(registration.status, HotKeyStatus::noError);
        ASSERT_TRUE(session.run({"xdotool", "keydown", "ctrl+alt+n"}));
        // Held for a second while the key repeats: the first press and nothing more.
        EXPECT_FALSE(waitUntil([&] { return events.size() > 1; }, 1000));
        // The modifiers go first: the release still belongs to the combination.
        ASSERT_TRUE(session.run({"xdotool", "keyup", "ctrl+alt", "keyup", "n"}));
        ASSERT_TRUE(waitUntil([&] { return events.size() == 2; }));

        // Which events and keys they carry: the next test's.
        EXPECT_EQ(events[1].modifiers, controlOption);
        // Server times, handed on for focus requests.
        EXPECT_GE(events[1].timestamp - events[0].timestamp, 1000U);
        EXPECT_EQ(userTime.latest(), events[1].timestamp);
        hotKeys->unregisterHotKey(registration.reference);
    }
}

// The grab that a press starts ends with its own key: the release of a combination pressed
// meanwhile, still down then or let go at once, or of one unregistered while held (which frees it
// for others), must come.
TEST_F(X11HotKeyServiceTest, EveryPressDeliveredGetsItsRelease) {
    const auto n = service.registerHotKey(keyN, controlOption, firstId);
    ASSERT_EQ(service.registerHotKey(keyM, controlOption, secondId).status, HotKeyStatus::noError);
    const auto xdotool = [&](const QStringList& keys, std::size_t count) {
        return session.run(QStringList{"xdotool"} + keys) &&
               waitUntil([&] { return events.size() == count; });
    };
    ASSERT_TRUE(xdotool({"keydown", "ctrl+alt+n", "keydown", "m", "keyup", "n"}, 3));
    ASSERT_TRUE(xdotool({"keyup", "m", "keyup", "ctrl+alt"}, 4));
    ASSERT_TRUE(xdotool({"keydown", "ctrl+alt+n", "keydown", "m", "keyup", "n", "keyup", "m",
                         "keyup", "ctrl+alt", "key", "ctrl+alt+m", "keydown", "ctrl+alt+n"},
                        11));
    service.unregisterHotKey(n.reference);
    ASSERT_TRUE(xdotool({"keyup", "n", "keyup", "ctrl+alt"}, 12));
    EXPECT_TRUE(waitUntil([&] { return session.grabKey(keycodeN, controlAlt | XCB_MOD_MASK_2); }));
    std::string seen;
    for (const KeyboardEvent& event : events) {
        seen += std::to_string(event.hotKeyId.id) +
                (event.kind == KeyboardEventKind::hotKeyPressed ? "+ " : "- ");
    }
    EXPECT_EQ(seen, "1+ 2+ 1- 2- 1+ 2+ 1- 2- 2+ 2- 1+ 1- ");
}

// The other client holds only the Caps Lock state: grabs made before it are undone, and the probe
// reports it, not our own registration nor a free combination, and lets go at once.
TEST_F(X11HotKeyServiceTest, ACombinationHeldByAnotherClientIsRefusedAndFoundByTheProbe) {
    ASSERT_TRUE(session.grabKey(keycodeN, controlAlt | XCB_MOD_MASK_LOCK));
    const auto refused = service.registerHotKey(keyN, controlOption, firstId);
    EXPECT_EQ(refused.status, HotKeyStatus::hotKeyExists);
    EXPECT_FALSE(refused.reference);
    EXPECT_TRUE(waitUntil([&] { return session.grabKey(keycodeN, controlAlt); }));
    ASSERT_EQ(service.registerHotKey(keyZ, controlOption, secondId).status, HotKeyStatus::noError);
    // Caps Lock takes no part in matching: the same combination, which the service holds.
    EXPECT_EQ(
        service.registerHotKey(keyZ, controlOption | HotKeyModifier::capsLock, firstId).status,
        HotKeyStatus::hotKeyExists);
    EXPECT_TRUE(service.isHeldByAnotherClient(keyN, controlOption));
    EXPECT_FALSE(service.isHeldByAnotherClient(keyZ, controlOption));
    EXPECT_FALSE(service.isHeldByAnotherClient(keyN, HotKeyModifier::control));
    EXPECT_TRUE(waitUntil([&] { return session.grabKey(keycodeN, XCB_MOD_MASK_CONTROL); }));
}

TEST_F(X11HotKeyServiceTest, FollowsThePhysicalKeyThroughLocksAndLayoutKeycodeModifierChanges) {
    ASSERT_EQ(service.registerHotKey(keyZ, controlOption, firstId).status, HotKeyStatus::noError);
    ASSERT_EQ(service.registerHotKey(insert, controlOption, secondId).status,
              HotKeyStatus::noError);
    const struct {
        QStringList change;
        QString combination;
        HotKeyId id;
    } changes[] = {
        // Caps Lock on, then Num Lock as well, then Caps Lock off: locks do not matter.
        {{"xdotool", "key", "Caps_Lock"}, "ctrl+alt+z", firstId},
        {{"xdotool", "key", "Num_Lock"}, "ctrl+alt+z", firstId},
        {{"xdotool", "key", "Caps_Lock"}, "ctrl+alt+z", firstId},
        {{"setxkbmap", "de"}, "ctrl+alt+y", firstId},
        // Other keycodes for the keys beyond the letters.
        {{"setxkbmap", "-keycodes", "xfree86", "de"}, "ctrl+alt+Insert", secondId},
        // Alt on another modifier bit.
        {{"xmodmap", "-e", "clear mod1", "-e", "add mod3 = Alt_L"}, "ctrl+alt+y", firstId},
    };
    for (const auto& change : changes) {
        ASSERT_TRUE(session.run(change.change));
        ASSERT_TRUE(typeUntilReceived(change.combination)) << change.change.join(' ').toStdString();
        EXPECT_EQ(events.back().hotKeyId, change.id);
    }
}

} // namespace
