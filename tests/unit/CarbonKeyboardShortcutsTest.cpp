#include "KeyboardShortcuts/CarbonKeyboardShortcuts.h"

#include "KeyboardShortcuts/internal/DispatchState.h"
#include "platform/MenuTracking.h"
#include "tests/unit/KeyboardShortcutsFixture.h"

namespace {

namespace Carbon = KeyboardShortcuts::CarbonKeyboardShortcuts;
namespace Kind = platform::KeyboardEventKind;
using KeyboardShortcuts::Key;
using KeyboardShortcuts::Shortcut;
using platform::HotKeyStatus::eventNotHandled;
using platform::HotKeyStatus::hotKeyExists;
using platform::HotKeyStatus::noError;

class CarbonKeyboardShortcutsTest : public test_support::KeyboardShortcutsFixture {
protected:
    // Registers the shortcut with callbacks that log "down:<code>" and "up:<code>".
    void registerLogged(const Shortcut& shortcut) {
        Carbon::register_(
            shortcut,
            [this](const Shortcut& s) { calls.push_back("down:" + std::to_string(code(s))); },
            [this](const Shortcut& s) { calls.push_back("up:" + std::to_string(code(s))); });
    }
    [[nodiscard]] std::vector<platform::HotKeyId> registeredIds() const {
        std::vector<platform::HotKeyId> ids;
        for (const auto& hotKey : hotKeys.registered()) {
            ids.push_back(hotKey.id);
        }
        return ids;
    }
    void menu(bool open) {
        notifications.post(open ? platform::menuDidBeginTrackingNotification
                                : platform::menuDidEndTrackingNotification);
    }

    const Shortcut a = controlOptionShortcut(Key::a);
    const Shortcut b = controlOptionShortcut(Key::b);
    const Shortcut n = controlOptionShortcut(Key::n);
    std::vector<std::string> calls;
};

TEST_F(CarbonKeyboardShortcutsTest, IdsStartAtOneAndAFailureUsesUpItsIdAndPrintsOneLine) {
    hotKeys.failRegistration(code(b), controlOption, hotKeyExists);
    hotKeys.failRegistration(code(n), controlOption, noError); // success without a reference
    testing::internal::CaptureStdout();
    registerLogged(a);
    registerLogged(b);
    registerLogged(n);
    Carbon::register_(controlOptionShortcut(Key::c), {}, {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error registering hotkey \u2303\u2325B: -9878\n"
              "Error registering hotkey \u2303\u2325N: 0\n");
    EXPECT_EQ(registeredIds(), (std::vector<platform::HotKeyId>{{0x5150484B, 1}, {0x5150484B, 4}}));
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 2U);
}

TEST_F(CarbonKeyboardShortcutsTest, KeyCodesBeyondWhatTheServiceTakesAreRefusedNotTruncated) {
    testing::internal::CaptureStdout();
    Carbon::register_(Shortcut(0x1'0000'0000 + 45, controlOption), {}, {});
    EXPECT_NE(testing::internal::GetCapturedStdout().find(": -9879\n"), std::string::npos);
    EXPECT_TRUE(hotKeys.registrationAttempts().empty());
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 0U);
}

TEST_F(CarbonKeyboardShortcutsTest, HotKeyEventsReachTheirEntryAndStrangersAreNotHandled) {
    registerLogged(a);
    EXPECT_EQ(hotKeys.press(code(a), controlOption), noError);
    EXPECT_EQ(hotKeys.release(code(a), controlOption), noError);
    EXPECT_EQ(calls, (std::vector<std::string>{"down:0", "up:0"}));

    const auto event = [](std::uint32_t kind, platform::HotKeyId id) {
        return platform::KeyboardEvent{.kind = kind, .hotKeyId = id};
    };
    EXPECT_EQ(hotKeys.deliver(event(Kind::hotKeyPressed, {0x41424344, 1})), eventNotHandled);
    EXPECT_EQ(hotKeys.deliver(event(Kind::hotKeyPressed, {0x5150484B, 2})), eventNotHandled);
    EXPECT_EQ(Carbon::handleHotKeyEvent(event(Kind::rawKeyDown, {0x5150484B, 1})), eventNotHandled);
    EXPECT_EQ(Carbon::carbonKeyboardShortcutsEventHandler(event(9, {0x5150484B, 1})),
              eventNotHandled);
    EXPECT_EQ(calls.size(), 2U);
}

TEST_F(CarbonKeyboardShortcutsTest, RawKeysMatchWithoutLockBitsAndOnlyForKeyDownAndUp) {
    registerLogged(a);
    constexpr std::uint32_t capsLockBit = 0x400;
    const auto raw = [&](std::uint32_t kind, std::uint32_t modifiers) {
        return Carbon::handleRawKeyEvent({.kind = kind, .keyCode = 0, .modifiers = modifiers});
    };
    EXPECT_EQ(raw(Kind::rawKeyDown, controlOption | capsLockBit), noError);
    EXPECT_EQ(raw(Kind::rawKeyUp, controlOption), noError);
    EXPECT_EQ(raw(2, controlOption), eventNotHandled);
    EXPECT_EQ(raw(Kind::rawKeyDown, KeyboardShortcuts::CarbonModifiers::control), eventNotHandled);
    EXPECT_EQ(calls, (std::vector<std::string>{"down:0", "up:0"}));
}

TEST_F(CarbonKeyboardShortcutsTest, ARawReleaseBelongsToTheEntryWhosePressMatched) {
    registerLogged(n);
    const auto raw = [&](std::uint32_t kind, std::uint32_t modifiers) {
        return Carbon::handleRawKeyEvent({.kind = kind, .keyCode = 45, .modifiers = modifiers});
    };
    EXPECT_EQ(raw(Kind::rawKeyDown, controlOption), noError);
    EXPECT_EQ(raw(Kind::rawKeyUp, 0), noError); // the modifiers were let go first
    EXPECT_EQ(raw(Kind::rawKeyUp, 0), eventNotHandled);
    EXPECT_EQ(calls, (std::vector<std::string>{"down:45", "up:45"}));
}

TEST_F(CarbonKeyboardShortcutsTest, AnOpenMenuReleasesHotKeysMatchesItsKeysAndClosingRestoresIds) {
    KeyboardShortcuts::internal::initialize();
    registerLogged(a);
    registerLogged(n);
    const auto idsBefore = registeredIds();

    menu(true);
    EXPECT_TRUE(hotKeys.registered().empty());
    EXPECT_FALSE(hotKeys.hasEventType(Kind::hotKeyPressed));
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 2U);

    const platform::KeyboardEvent typed{
        .kind = Kind::rawKeyDown, .keyCode = 45, .modifiers = controlOption};
    EXPECT_EQ(Carbon::handleRawKeyEvent(typed), noError);
    EXPECT_EQ(calls, std::vector<std::string>{"down:45"});

    menu(false);
    EXPECT_EQ(registeredIds(), idsBefore);
    EXPECT_TRUE(hotKeys.hasEventType(Kind::hotKeyPressed));
    EXPECT_EQ(hotKeys.press(code(n), controlOption), noError);
    EXPECT_EQ(calls.size(), 2U);
}

TEST_F(CarbonKeyboardShortcutsTest, WhileDisabledNewHotKeysRegisterAtOnceUntilTheNextUpdate) {
    registerLogged(a);
    KeyboardShortcuts::setEnabled(false);
    EXPECT_TRUE(hotKeys.registered().empty());
    EXPECT_FALSE(hotKeys.hasEventType(Kind::hotKeyReleased));

    registerLogged(b);
    EXPECT_TRUE(isRegistered(b));
    Carbon::updateEventHandler();
    EXPECT_FALSE(isRegistered(b));

    KeyboardShortcuts::setEnabled(true);
    EXPECT_EQ(registeredIds(), (std::vector<platform::HotKeyId>{{0x5150484B, 1}, {0x5150484B, 2}}));
}

TEST_F(CarbonKeyboardShortcutsTest, AnEntryThatCannotBeRegisteredAgainIsReportedAndDropped) {
    registerLogged(a);
    registerLogged(b);
    KeyboardShortcuts::setEnabled(false);
    hotKeys.failRegistration(code(a), controlOption, hotKeyExists);
    testing::internal::CaptureStdout();
    KeyboardShortcuts::setEnabled(true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error registering hotkey \u2303\u2325A: -9878\n");
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 1U);
    EXPECT_EQ(hotKeys.idOf(code(b), controlOption), (platform::HotKeyId{0x5150484B, 2}));
}

TEST_F(CarbonKeyboardShortcutsTest, UnregisterRemovesEveryEntryOfTheShortcutAndKeepsTheHandler) {
    registerLogged(a);
    KeyboardShortcuts::setEnabled(false); // releases a, so the same keys can be taken again
    registerLogged(a);
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 2U);

    Carbon::unregister(b);
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 2U);
    Carbon::unregister(a);
    EXPECT_EQ(KeyboardShortcuts::internal::hotKeyCount(), 0U);
    EXPECT_TRUE(hotKeys.registered().empty());

    KeyboardShortcuts::setEnabled(true);
    registerLogged(b);
    EXPECT_TRUE(hotKeys.isHandlerInstalled());
    EXPECT_EQ(hotKeys.handlerInstallations(), 1);
}

TEST_F(CarbonKeyboardShortcutsTest, AFailedHandlerInstallationIsTriedAgainAtTheNextRegistration) {
    hotKeys.failHandlerInstallation(true);
    registerLogged(a);
    EXPECT_TRUE(isRegistered(a));
    EXPECT_EQ(hotKeys.press(code(a), controlOption), std::nullopt);

    hotKeys.failHandlerInstallation(false);
    registerLogged(b);
    EXPECT_EQ(hotKeys.handlerInstallations(), 1);
    EXPECT_EQ(hotKeys.press(code(a), controlOption), noError);
    EXPECT_EQ(calls, (std::vector<std::string>{"down:0"}));
}

} // namespace
