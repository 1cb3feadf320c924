#pragma once

#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/ModifierFlags.h"
#include "KeyboardShortcuts/PlatformServices.h"
#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/internal/Testing.h"
#include "platform/NotificationCenter.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/FakeMainQueue.h"
#include "tests/support/FakePreferencesStore.h"
#include "tests/support/NamedKeyboardLayout.h"

#include <gtest/gtest.h>

namespace test_support {

// The library over fakes, from a fresh state, with a US layout for its messages.
class KeyboardShortcutsFixture : public ::testing::Test {
public:
    KeyboardShortcutsFixture(const KeyboardShortcutsFixture&) = delete;
    KeyboardShortcutsFixture& operator=(const KeyboardShortcutsFixture&) = delete;

protected:
    static constexpr std::uint32_t controlOption =
        KeyboardShortcuts::CarbonModifiers::control | KeyboardShortcuts::CarbonModifiers::option;

    KeyboardShortcutsFixture() {
        KeyboardShortcuts::internal::resetLibraryState();
        KeyboardShortcuts::installPlatformServices(
            {preferences, notifications, mainQueue, hotKeys, layout.get()});
    }
    ~KeyboardShortcutsFixture() override {
        KeyboardShortcuts::internal::resetLibraryState();
        KeyboardShortcuts::installKeyboardLayout(nullptr);
    }
    static KeyboardShortcuts::Shortcut controlOptionShortcut(KeyboardShortcuts::Key key) {
        return {key.rawValue, controlOption};
    }
    static std::uint32_t code(const KeyboardShortcuts::Shortcut& shortcut) {
        return static_cast<std::uint32_t>(shortcut.carbonKeyCode());
    }
    static std::uint32_t modifiers(const KeyboardShortcuts::Shortcut& shortcut) {
        return static_cast<std::uint32_t>(shortcut.carbonModifiers());
    }
    bool isRegistered(const KeyboardShortcuts::Shortcut& shortcut) const {
        return hotKeys.isRegistered(code(shortcut), modifiers(shortcut));
    }
    void press(const KeyboardShortcuts::Shortcut& shortcut) {
        hotKeys.press(code(shortcut), modifiers(shortcut));
    }
    void release(const KeyboardShortcuts::Shortcut& shortcut) {
        hotKeys.release(code(shortcut), modifiers(shortcut));
    }
    // How often the name's change was announced.
    int announcements(const std::string& rawValue) const {
        return static_cast<int>(std::ranges::count(announced, rawValue));
    }

    FakePreferencesStore preferences;
    platform::NotificationCenter notifications;
    FakeMainQueue mainQueue;
    FakeHotKeyService hotKeys;
    std::unique_ptr<platform::linux_desktop::XkbKeyboardLayout> layout = namedKeyboardLayout("us");
    std::vector<std::string> announced;

private:
    platform::NotificationCenter::Token observer_ = notifications.addObserver(
        "KeyboardShortcuts_shortcutByNameDidChange", [this](const platform::Notification& n) {
            announced.push_back(std::get<std::string>(n.userInfo.at("name")));
        });
};

} // namespace test_support
