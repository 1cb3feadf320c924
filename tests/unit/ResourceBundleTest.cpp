#include "KeyboardShortcuts/resource_bundle_accessor.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

// The tables the build places beside the program, in the user's language where they have it,
// else in English.
TEST(ResourceBundle, TheLibraryTablesHaveEveryKeyInEnglishAndGerman) {
    const std::pair<QLocale, std::string> locales[] = {
        {QLocale(QLocale::German, QLocale::Austria), "Leertaste"},
        {QLocale(QLocale::French, QLocale::France), "space"}};
    for (const auto& [locale, space] : locales) {
        QLocale::setDefault(locale);
        EXPECT_EQ(KeyboardShortcuts::localized("space_key"), space);
        EXPECT_EQ(KeyboardShortcuts::localized("no_such_key"), "no_such_key");
        for (const std::string key :
             {"record_shortcut", "press_shortcut", "keyboard_shortcut_used_by_menu_item",
              "keyboard_shortcut_disallowed", "keyboard_shortcut_used_by_system",
              "keyboard_shortcuts_can_be_changed", "ok", "force_use_shortcut", "space_key"}) {
            const std::string text = KeyboardShortcuts::localized(key);
            EXPECT_NE(text, key) << space;
            EXPECT_EQ(text.find("%1") != std::string::npos,
                      key == "keyboard_shortcut_used_by_menu_item")
                << space << " " << key;
        }
    }
    const std::string message = KeyboardShortcuts::localizedStringWithFormat(
        KeyboardShortcuts::localized("keyboard_shortcut_used_by_menu_item"), "100%");
    EXPECT_NE(message.find("“100%”"), std::string::npos) << message;
}

TEST(ResourceBundleDeathTest, NoBundleAnywhereStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<std::filesystem::path> nowhere = {"/nonexistent/share", "/nonexistent/bin"};
    EXPECT_DEATH((void)KeyboardShortcuts::requireBundle(nowhere),
                 "KeyboardShortcuts/resource_bundle_accessor:44: Fatal error: unable to find "
                 "bundle named KeyboardShortcuts_KeyboardShortcuts");
}

} // namespace
