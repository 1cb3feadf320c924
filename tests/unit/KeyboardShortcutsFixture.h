#pragma once

#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/ModifierFlags.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "tests/support/FakeLibraryServices.h"

#include <gtest/gtest.h>

namespace test_support {

// The library over fakes, from a fresh state, showing keys through a US layout that xkbcommon
// builds offline from xkb-data.
class KeyboardShortcutsFixture : public ::testing::Test {
protected:
    using Shortcut = KeyboardShortcuts::Shortcut;
    static constexpr std::uint32_t controlOption =
        KeyboardShortcuts::CarbonModifiers::control | KeyboardShortcuts::CarbonModifiers::option;

    static Shortcut controlOptionShortcut(KeyboardShortcuts::Key key) {
        return {key.rawValue, controlOption};
    }
    static std::uint32_t code(const Shortcut& shortcut) {
        return static_cast<std::uint32_t>(shortcut.carbonKeyCode());
    }
    // The hot-key service's view of a shortcut with control and option.
    [[nodiscard]] bool isRegistered(const Shortcut& shortcut) const {
        return hotKeys.isRegistered(code(shortcut), controlOption);
    }
    void press(const Shortcut& shortcut) { hotKeys.press(code(shortcut), controlOption); }
    void release(const Shortcut& shortcut) { hotKeys.release(code(shortcut), controlOption); }

    platform::linux_desktop::XkbKeyboardLayout layout{
        platform::linux_desktop::XkbKeymap::fromNames("us").value()};
    FakeLibraryServices library{layout, platform::linux_desktop::displayKeyEventTranslator()};
    FakePreferencesStore& preferences = library.preferences;
    FakeHotKeyService& hotKeys = library.hotKeys;
};

} // namespace test_support
