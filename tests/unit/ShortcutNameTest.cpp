#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/internal/DispatchState.h"
#include "KeyboardShortcuts/internal/Storage.h"
#include "tests/unit/KeyboardShortcutsFixture.h"

namespace {

using KeyboardShortcuts::getShortcut;
using KeyboardShortcuts::Key;
using KeyboardShortcuts::Name;
using KeyboardShortcuts::Shortcut;
using platform::PreferenceValue;

class ShortcutNameTest : public test_support::KeyboardShortcutsFixture {
protected:
    // A later run of the application: the store stays, everything else starts afresh.
    void restart() {
        KeyboardShortcuts::internal::resetLibraryState();
        hotKeys.clearRegistrationFailures();
        for (const auto& hotKey : std::vector(hotKeys.registered())) {
            hotKeys.unregisterHotKey(hotKey.reference);
        }
        preferences.writes.clear();
        announced.clear();
    }
    Name togglePanel() { return Name("togglePanel", n); }

    const Shortcut n = controlOptionShortcut(Key::n);
    const Shortcut m = controlOptionShortcut(Key::m);
};

TEST_F(ShortcutNameTest, TheFirstRunStoresRegistersAndAnnouncesTheDefaultOnceOnly) {
    const Name name = togglePanel();
    ASSERT_EQ(preferences.writes.size(), 1U);
    EXPECT_EQ(preferences.writes[0].first, "KeyboardShortcuts_togglePanel");
    EXPECT_EQ(preferences.writes[0].second,
              PreferenceValue(std::string(R"({"carbonKeyCode":45,"carbonModifiers":6144})")));
    EXPECT_TRUE(isRegistered(n));
    EXPECT_EQ(announced, std::vector<std::string>{"togglePanel"});

    restart();
    const Name again = togglePanel();
    EXPECT_TRUE(preferences.writes.empty());
    EXPECT_TRUE(announced.empty());
    EXPECT_EQ(again.shortcut(), n);
    EXPECT_FALSE(isRegistered(n)); // nothing asked for it in this run yet
}

TEST_F(ShortcutNameTest, AShortcutWrittenByHandTakesEffectAndFalseLeavesTheNameWithout) {
    preferences.set("KeyboardShortcuts_togglePanel",
                    R"({"carbonModifiers":4096,"carbonKeyCode":46})");
    const Name name = togglePanel();
    EXPECT_EQ(name.shortcut(), Shortcut(Key::m.rawValue, 4096));
    KeyboardShortcuts::onKeyUp(name, [] {});
    EXPECT_TRUE(hotKeys.isRegistered(46, 4096));
    EXPECT_FALSE(isRegistered(n));

    restart();
    preferences.set("KeyboardShortcuts_togglePanel", false);
    KeyboardShortcuts::onKeyUp(togglePanel(), [] {});
    EXPECT_EQ(getShortcut(togglePanel()), std::nullopt);
    EXPECT_TRUE(hotKeys.registered().empty());
}

TEST_F(ShortcutNameTest, ClearingKeepsTheRemovalOfADefaultAcrossRunsAndRemovesOthers) {
    togglePanel().setShortcut(std::nullopt);
    EXPECT_EQ(preferences.object("KeyboardShortcuts_togglePanel"), PreferenceValue(false));
    EXPECT_FALSE(isRegistered(n));
    EXPECT_EQ(announcements("togglePanel"), 2);

    restart();
    EXPECT_EQ(togglePanel().shortcut(), std::nullopt);
    togglePanel().setShortcut(std::nullopt); // nothing left to clear
    EXPECT_TRUE(preferences.writes.empty());
    EXPECT_TRUE(announced.empty());

    const Name plain("plain");
    plain.setShortcut(m);
    plain.setShortcut(std::nullopt);
    EXPECT_EQ(preferences.object("KeyboardShortcuts_plain"), std::nullopt);
    EXPECT_EQ(announcements("plain"), 2);
}

TEST_F(ShortcutNameTest, StoringTheSameShortcutAgainReRegistersItAndAnnounces) {
    const Name name = togglePanel();
    const auto firstId = hotKeys.idOf(code(n), controlOption);
    name.setShortcut(n);
    EXPECT_NE(hotKeys.idOf(code(n), controlOption), firstId);
    EXPECT_EQ(preferences.writes.size(), 2U);
    EXPECT_EQ(announcements("togglePanel"), 2);
    EXPECT_EQ(hotKeys.registered().size(), 1U);
}

TEST_F(ShortcutNameTest, ResetWritesEachDefaultAndResetAllClearsOnlyDecodableShortcuts) {
    const Name name = togglePanel();
    const Name plain("plain");
    plain.setShortcut(m);
    KeyboardShortcuts::reset(name, plain);
    EXPECT_EQ(preferences.writes.size(), 3U); // first run, plain, reset of togglePanel
    EXPECT_EQ(announcements("togglePanel"), 2);
    EXPECT_EQ(preferences.object("KeyboardShortcuts_plain"), std::nullopt);

    plain.setShortcut(m);
    name.setShortcut(std::nullopt);
    preferences.set("KeyboardShortcuts_garbage", "not json");
    KeyboardShortcuts::resetAll();
    EXPECT_EQ(preferences.object("KeyboardShortcuts_togglePanel"), PreferenceValue(false));
    EXPECT_EQ(preferences.object("KeyboardShortcuts_plain"), std::nullopt);
    EXPECT_EQ(preferences.object("KeyboardShortcuts_garbage"), PreferenceValue("not json"));
    EXPECT_TRUE(hotKeys.registered().empty());
}

TEST_F(ShortcutNameTest, AValueThatIsNotAShortcutReadsAsNoneAndIsLeftAlone) {
    preferences.set("KeyboardShortcuts_x", "{not json");
    const Name x("x");
    EXPECT_EQ(x.shortcut(), std::nullopt);
    x.setShortcut(std::nullopt);
    EXPECT_TRUE(KeyboardShortcuts::internal::userDefaultsContains(x));
    EXPECT_TRUE(announced.empty());
}

TEST_F(ShortcutNameTest, NamesAreEqualByRawValueAndFoundByTheirKeys) {
    EXPECT_EQ(Name("x"), Name("x", m));
    preferences.set("KeyboardShortcuts_", "");
    preferences.set("noteText", "");
    preferences.set("KeyboardShortcuts_x", false);
    const auto names = KeyboardShortcuts::internal::allNames();
    EXPECT_EQ(names.size(), 2U);
    EXPECT_TRUE(names.contains(Name("")));
    EXPECT_TRUE(names.contains(Name("x")));
}

} // namespace
