#include "KeyboardShortcuts/Dispatch.h"

#include "KeyboardShortcuts/CarbonKeyboardShortcuts.h"
#include "KeyboardShortcuts/internal/DispatchState.h"
#include "platform/MenuTracking.h"
#include "tests/unit/KeyboardShortcutsFixture.h"

#include <algorithm>

namespace {

using namespace KeyboardShortcuts;
using namespace platform::HotKeyStatus;
using platform::PreferenceValue;
using Calls = std::vector<std::string>;

class DispatchTest : public test_support::KeyboardShortcutsFixture {
protected:
    Action log(std::string entry) {
        return [this, entry = std::move(entry)] { calls.push_back(entry); };
    }

    Calls announced; // the names whose shortcut changed
    const platform::NotificationCenter::Token observer = library.notifications.addObserver(
        "KeyboardShortcuts_shortcutByNameDidChange", [this](const platform::Notification& note) {
            announced.push_back(std::get<std::string>(note.userInfo.at("name")));
        });
    const Shortcut n = controlOptionShortcut(Key::n);
    const Shortcut m = controlOptionShortcut(Key::m);
    const Name toggle{"togglePanel", n};
    Calls calls;
};

TEST_F(DispatchTest, ADefaultIsStoredOnlyWhenNothingIsClearingRemovesANameAndResetRestores) {
    EXPECT_EQ(Name("togglePanel", m).shortcut(), n);
    const std::pair<std::string, PreferenceValue> write{
        "KeyboardShortcuts_togglePanel", R"({"carbonKeyCode":45,"carbonModifiers":6144})"};
    EXPECT_EQ(preferences.writes, std::vector{write});
    EXPECT_TRUE(isRegistered(n));
    EXPECT_EQ(announced, Calls{"togglePanel"});

    preferences.set("KeyboardShortcuts_edited", R"({"carbonModifiers":4096,"carbonKeyCode":46})");
    preferences.set("KeyboardShortcuts_removed", false);
    EXPECT_EQ(Name("edited", n).shortcut(), Shortcut(Key::m.rawValue, 4096));
    EXPECT_EQ(Name("removed", n).shortcut(), std::nullopt);

    const Name plain("plain");
    plain.setShortcut(m);
    toggle.setShortcut(std::nullopt);
    plain.setShortcut(std::nullopt);
    plain.setShortcut(std::nullopt); // nothing left to clear
    EXPECT_EQ(preferences.object("KeyboardShortcuts_plain"), std::nullopt);
    EXPECT_EQ(announced, (Calls{"togglePanel", "plain", "togglePanel", "plain"}));

    reset(toggle);
    EXPECT_EQ(toggle.shortcut(), n);
    EXPECT_TRUE(isRegistered(n));
    preferences.set("KeyboardShortcuts_garbage", "not json");
    resetAll();
    EXPECT_EQ(preferences.object("KeyboardShortcuts_togglePanel"), std::nullopt);
    EXPECT_EQ(preferences.object("KeyboardShortcuts_garbage"), PreferenceValue("not json"));
    EXPECT_TRUE(hotKeys.registered().empty());
}

TEST_F(DispatchTest, APressCallsKeyDownHandlersAndAReleaseKeyUpHandlersInTheOrderAdded) {
    onKeyUp(toggle, log("up 1"));
    onKeyUp(toggle, log("up 2"));
    onKeyDown(toggle, log("down"));
    EXPECT_EQ(hotKeys.registered().size(), 1U);
    internal::setPaused(true); // as while the recorder records
    release(n);
    internal::setPaused(false);
    press(n);
    EXPECT_EQ(calls, Calls{"down"});
    release(n);
    EXPECT_EQ(calls, (Calls{"down", "up 1", "up 2"}));
}

TEST_F(DispatchTest, AReleaseCallsEveryNameStoringItsKeysAndHandlersFollowTheirName) {
    const Name other("other", n);
    const Name moved("moved", m);
    onKeyUp(toggle, log("toggle"));
    onKeyUp(other, log("other"));
    onKeyUp(moved, log("moved"));
    release(n);
    std::ranges::sort(calls); // table order is not fixed
    EXPECT_EQ(calls, (Calls{"other", "toggle"}));

    moved.setShortcut(controlOptionShortcut(Key::q));
    release(controlOptionShortcut(Key::q));
    EXPECT_EQ(calls, (Calls{"other", "toggle", "moved"}));
}

TEST_F(DispatchTest, AHotKeyIsReleasedWithTheLastHandlerButStaysForAStreamOfItsKeys) {
    const Name streamed("streamed", m);
    onKeyUp(toggle, log("toggle"));
    onKeyUp(streamed, log("streamed"));
    auto both = events(streamed);
    auto releases = events(EventType::keyUp, streamed);
    std::vector<EventType> seen;
    both.onElement([&](EventType element) { seen.push_back(element); });
    press(m); // before the streams' registration has run on the main queue
    library.mainQueue.runPending();

    removeHandler(toggle);
    EXPECT_FALSE(isRegistered(n));
    removeAllHandlers();
    press(m);
    release(m);
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(seen, (std::vector{EventType::keyDown, EventType::keyUp})); // else next() waits
    EXPECT_EQ(releases.next(), EventType::keyUp);
}

// A hot key refused at first, or when an open menu gives the keyboard back, is reported and
// dropped; a key code edited into the store beyond 32 bits is not cut down to another key.
TEST_F(DispatchTest, AnOpenMenuOrTheSwitchReleasesTheHotKeysAndARefusedOneIsDropped) {
    hotKeys.failRegistration(code(m), controlOption, hotKeyExists);
    testing::internal::CaptureStdout();
    const Name refused("refused", m);
    const Name edited("edited", Shortcut(0x1'0000'0000 + code(n), controlOption));
    const Name dropped("dropped", controlOptionShortcut(Key::q));
    onKeyDown(toggle, log("down"));
    library.notifications.post(platform::menuDidBeginTrackingNotification);
    hotKeys.failRegistration(code(dropped.shortcut().value()), controlOption, hotKeyExists);
    library.notifications.post(platform::menuDidEndTrackingNotification);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error registering hotkey ⌃⌥M: -9878\nError registering hotkey ⌃⌥\uFFFD: -9879\n"
              "Error registering hotkey ⌃⌥Q: -9878\n");
    EXPECT_EQ(internal::hotKeyCount(), 1U);
    setEnabled(false);
    EXPECT_TRUE(hotKeys.registered().empty());
    setEnabled(true);
    press(n);
    disable(toggle);
    EXPECT_FALSE(isEnabled(toggle));
    press(n);
    enable(toggle);
    EXPECT_TRUE(isEnabled(toggle));
    press(n);
    EXPECT_EQ(calls, (Calls{"down", "down"}));

    // Recorded again once the other program has let go of it, the same combination works.
    hotKeys.failRegistration(code(m), controlOption, noError);
    refused.setShortcut(m);
    EXPECT_TRUE(isRegistered(m));
    EXPECT_EQ(announced.back(), "refused");
}

// Raw keys are what an open menu hands on instead of hot keys. A press that the menu's closing
// or its entry's removal cuts short is forgotten: a later mnemonic of the same key is the menu's.
TEST_F(DispatchTest, ARawReleaseFollowsTheMatchedPressUntilTheMenuClosesOrTheEntryGoes) {
    onKeyDown(toggle, log("down"));
    onKeyUp(toggle, log("up"));
    const auto raw = [](std::uint32_t kind, std::uint32_t modifiers) {
        return CarbonKeyboardShortcuts::handleRawKeyEvent(
            {.kind = kind, .keyCode = 45, .modifiers = modifiers});
    };
    using platform::KeyboardEventKind::rawKeyDown, platform::KeyboardEventKind::rawKeyUp;
    EXPECT_EQ(raw(rawKeyDown, CarbonModifiers::control), eventNotHandled);
    EXPECT_EQ(raw(rawKeyDown, controlOption), noError);
    EXPECT_EQ(raw(rawKeyUp, 0), noError);
    EXPECT_EQ(raw(rawKeyUp, 0), eventNotHandled);
    EXPECT_EQ(calls, (Calls{"down", "up"}));

    library.notifications.post(platform::menuDidBeginTrackingNotification);
    raw(rawKeyDown, controlOption);
    library.notifications.post(platform::menuDidEndTrackingNotification);
    library.notifications.post(platform::menuDidBeginTrackingNotification);
    EXPECT_EQ(raw(rawKeyUp, 0), eventNotHandled);
    raw(rawKeyDown, controlOption);
    removeHandler(toggle);
    onKeyUp(toggle, log("up again"));
    EXPECT_EQ(raw(rawKeyUp, controlOption), noError);
    EXPECT_EQ(calls, (Calls{"down", "up", "down", "down", "up again"}));
}

// A desktop that lists the application's shortcuts keeps each under its name, whichever registers
// first, beside the description given with it, or else its name in words.
TEST_F(DispatchTest, EachNameIsOfferedUnderItsOwnNameWithItsDescription) {
    using Label = std::pair<std::string, std::string>;
    const Shortcut k = controlOptionShortcut(Key::k);
    const Shortcut j = controlOptionShortcut(Key::j);
    const Name described{"showNote", k, "Show the note"};
    const Name plain{"clear_allNotes", j};
    const auto labelOf = [this](const Shortcut& shortcut) {
        const auto& registered = hotKeys.registered();
        const auto found = std::ranges::find_if(
            registered, [&](const auto& hotKey) { return hotKey.keyCode == code(shortcut); });
        return found == registered.end() ? Label()
                                         : Label(found->label.name, found->label.description);
    };
    for (const bool describedFirst : {true, false}) {
        KeyboardShortcuts::disable(described, plain);
        describedFirst ? KeyboardShortcuts::enable(described, plain)
                       : KeyboardShortcuts::enable(plain, described);
        EXPECT_EQ(labelOf(k), Label("showNote", "Show the note"));
        EXPECT_EQ(labelOf(j), Label("clear_allNotes", "Clear all notes"));
    }
}

} // namespace
