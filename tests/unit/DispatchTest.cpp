#include "KeyboardShortcuts/Dispatch.h"

#include "KeyboardShortcuts/internal/DispatchState.h"
#include "tests/unit/KeyboardShortcutsFixture.h"

#include <thread>

namespace {

using KeyboardShortcuts::EventType;
using KeyboardShortcuts::Key;
using KeyboardShortcuts::Name;
using KeyboardShortcuts::Shortcut;

class DispatchTest : public test_support::KeyboardShortcutsFixture {
protected:
    KeyboardShortcuts::Action log(std::string entry) {
        return [this, entry = std::move(entry)] { calls.push_back(entry); };
    }
    void pressAndRelease(const Shortcut& shortcut) {
        press(shortcut);
        release(shortcut);
    }

    const Shortcut n = controlOptionShortcut(Key::n);
    const Shortcut m = controlOptionShortcut(Key::m);
    const Name togglePanel{"togglePanel", n};
    std::vector<std::string> calls;
};

TEST_F(DispatchTest, HandlersRunInTheOrderAddedOnTheirEventAndRegisterTheHotKeyOnce) {
    KeyboardShortcuts::onKeyUp(togglePanel, log("first"));
    KeyboardShortcuts::onKeyUp(togglePanel, log("second"));
    KeyboardShortcuts::onKeyDown(togglePanel, log("down"));
    EXPECT_EQ(hotKeys.registrationAttempts().size(), 1U);

    press(n);
    EXPECT_EQ(calls, std::vector<std::string>{"down"});
    release(n);
    EXPECT_EQ(calls, (std::vector<std::string>{"down", "first", "second"}));
}

TEST_F(DispatchTest, WhilePausedNothingIsCalledOrStreamedAndTheHotKeyStays) {
    KeyboardShortcuts::onKeyUp(togglePanel, log("up"));
    auto stream = KeyboardShortcuts::events(togglePanel);
    mainQueue.runPending();
    KeyboardShortcuts::internal::setPaused(true);
    pressAndRelease(n);
    KeyboardShortcuts::internal::setPaused(false);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(isRegistered(n));
    release(n);
    EXPECT_EQ(stream.next(), EventType::keyUp);
}

TEST_F(DispatchTest, EveryNameStoringTheShortcutIsCalledAndOtherKeysCallNothing) {
    const Name other("other", n);
    const Name unrelated("unrelated", m);
    KeyboardShortcuts::onKeyUp(togglePanel, log("toggle"));
    KeyboardShortcuts::onKeyUp(other, log("other"));
    KeyboardShortcuts::onKeyUp(unrelated, log("unrelated"));
    release(n);
    std::ranges::sort(calls); // table order is not fixed
    EXPECT_EQ(calls, (std::vector<std::string>{"other", "toggle"}));

    calls.clear();
    KeyboardShortcuts::internal::handleOnKeyUp(controlOptionShortcut(Key::q));
    EXPECT_TRUE(calls.empty());
}

TEST_F(DispatchTest, HandlersFollowTheNameToItsNewKeys) {
    KeyboardShortcuts::onKeyUp(togglePanel, log("toggle"));
    togglePanel.setShortcut(m);
    EXPECT_FALSE(isRegistered(n));
    KeyboardShortcuts::internal::handleOnKeyUp(n); // as if the old keys still came through
    release(m);
    EXPECT_EQ(calls, std::vector<std::string>{"toggle"});
}

TEST_F(DispatchTest, RemovingHandlersKeepsTheHotKeysThatStreamsStillUse) {
    const Name streamed("streamed", m);
    KeyboardShortcuts::onKeyUp(togglePanel, log("toggle"));
    KeyboardShortcuts::onKeyUp(streamed, log("streamed"));
    auto stream = KeyboardShortcuts::events(streamed);
    mainQueue.runPending();

    KeyboardShortcuts::removeAllHandlers();
    EXPECT_FALSE(isRegistered(n));
    EXPECT_TRUE(isRegistered(m));
    release(m);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(stream.next(), EventType::keyUp);

    KeyboardShortcuts::onKeyUp(streamed, log("streamed"));
    KeyboardShortcuts::removeHandler(streamed);
    EXPECT_TRUE(isRegistered(m));
}

TEST_F(DispatchTest, TheLastStreamOfANameToEndReleasesItsHotKey) {
    auto first = KeyboardShortcuts::events(togglePanel);
    auto second = KeyboardShortcuts::events(EventType::keyUp, togglePanel);
    mainQueue.runPending();
    pressAndRelease(n);
    EXPECT_EQ(first.next(), EventType::keyDown);
    EXPECT_EQ(first.next(), EventType::keyUp);
    EXPECT_EQ(second.next(), EventType::keyUp);

    first.cancel();
    EXPECT_EQ(first.next(), std::nullopt);
    mainQueue.runPending();
    EXPECT_TRUE(isRegistered(n));
    { const auto ended = std::move(second); }
    EXPECT_TRUE(isRegistered(n)); // its end runs on the main queue
    mainQueue.runPending();
    EXPECT_FALSE(isRegistered(n));
}

TEST_F(DispatchTest, AStreamIsConsumedFromAnotherThreadOrThroughACallback) {
    auto waited = KeyboardShortcuts::events(togglePanel);
    auto called = KeyboardShortcuts::events(EventType::keyDown, togglePanel);
    mainQueue.runPending();
    std::vector<EventType> seenByThread;
    std::thread consumer([&] {
        for (int count = 0; count < 3; ++count) {
            seenByThread.push_back(waited.next().value());
        }
    });
    press(n);
    std::vector<EventType> seenByCallback;
    called.onElement([&](EventType element) { seenByCallback.push_back(element); });
    release(n);
    press(n);
    mainQueue.runPending();
    consumer.join();
    waited.cancel();
    EXPECT_EQ(waited.next(), std::nullopt);
    EXPECT_EQ(seenByThread,
              (std::vector{EventType::keyDown, EventType::keyUp, EventType::keyDown}));
    EXPECT_EQ(seenByCallback, (std::vector{EventType::keyDown, EventType::keyDown}));
}

TEST_F(DispatchTest, TheSwitchesReRegisterUnderOldIdsAndNamesCanBeDisabled) {
    KeyboardShortcuts::onKeyUp(togglePanel, log("toggle"));
    const auto id = hotKeys.idOf(code(n), controlOption);
    KeyboardShortcuts::setEnabled(true);
    EXPECT_EQ(hotKeys.registrationAttempts().size(), 1U);
    KeyboardShortcuts::setEnabled(false);
    EXPECT_FALSE(KeyboardShortcuts::isEnabled(togglePanel));
    KeyboardShortcuts::setEnabled(true);
    EXPECT_EQ(hotKeys.idOf(code(n), controlOption), id);

    KeyboardShortcuts::disable(togglePanel);
    EXPECT_FALSE(KeyboardShortcuts::isEnabled(togglePanel));
    hotKeys.failRegistration(code(n), controlOption, platform::HotKeyStatus::hotKeyExists);
    testing::internal::CaptureStdout();
    KeyboardShortcuts::enable(togglePanel);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(KeyboardShortcuts::isEnabled(togglePanel)); // counted although refused
}

} // namespace
