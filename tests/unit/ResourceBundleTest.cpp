#include "KeyboardShortcuts/resource_bundle_accessor.h"

#include <QLocale>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using KeyboardShortcuts::Bundle;
namespace fs = std::filesystem;

const std::vector<std::string> libraryKeys = {"record_shortcut",
                                              "press_shortcut",
                                              "keyboard_shortcut_used_by_menu_item",
                                              "keyboard_shortcut_disallowed",
                                              "keyboard_shortcut_used_by_system",
                                              "keyboard_shortcuts_can_be_changed",
                                              "ok",
                                              "force_use_shortcut",
                                              "space_key"};

class ResourceBundle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        QLocale::setDefault(QLocale(QLocale::English));
    }
    void TearDown() override { QLocale::setDefault(savedLocale_); }

    // A directory under the test's root, with a bundle holding these tables when any are given.
    fs::path directory(const std::string& name,
                       const std::map<std::string, std::string>& tables = {}) {
        fs::path path = fs::path(root_.path().toStdString()) / name;
        fs::create_directories(path);
        if (!tables.empty()) {
            fs::create_directories(path / KeyboardShortcuts::bundleName);
        }
        for (const auto& [language, json] : tables) {
            std::ofstream(path / KeyboardShortcuts::bundleName / (language + ".json")) << json;
        }
        return path;
    }

private:
    QTemporaryDir root_;
    QLocale savedLocale_;
};

TEST_F(ResourceBundle, TheFirstPlaceWithABundleWinsInSearchOrder) {
    const fs::path resources = directory("share", {{"en", R"({"ok":"first"})"}});
    const fs::path empty = directory("lib");
    const fs::path beside = directory("bin", {{"en", R"({"ok":"second"})"}});

    const std::vector<fs::path> all = {empty, resources, beside};
    auto found = Bundle::find(all);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path(), resources / KeyboardShortcuts::bundleName);
    EXPECT_EQ(found->localizedString("ok"), "first");

    const std::vector<fs::path> nowhere = {empty, empty / "missing"};
    EXPECT_FALSE(Bundle::find(nowhere));
}

TEST_F(ResourceBundle, AKeyMissingFromTheTableReadsAsItself) {
    auto bundle = Bundle::open(directory("app", {{"en", R"({"record_shortcut":"Record"})"}}));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->localizedString("record_shortcut"), "Record");
    EXPECT_EQ(bundle->localizedString("press_shortcut"), "press_shortcut");
}

TEST_F(ResourceBundle, ThePreferredLanguageIsTheFirstUserLanguageOnOffer) {
    auto bundle = Bundle::open(directory(
        "app", {{"en", R"({"ok":"OK"})"}, {"de", R"({"ok":"Gut"})"}, {"pt-BR", R"({"ok":"Ok"})"}}));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->languages(), (std::vector<std::string>{"de", "en", "pt-BR"}));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Austria));
    EXPECT_EQ(bundle->localizedString("ok"), "Gut");
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_EQ(bundle->localizedString("ok"), "Ok");
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(bundle->localizedString("ok"), "OK"); // English when nothing preferred is offered
}

TEST_F(ResourceBundle, AnUnreadableTableLeavesKeysAsThemselves) {
    auto broken = Bundle::open(directory("broken", {{"en", R"({"ok": "OK",)"}}));
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->localizedString("ok"), "ok");
    auto notAnObject = Bundle::open(directory("array", {{"en", R"(["ok"])"}}));
    ASSERT_TRUE(notAnObject);
    EXPECT_EQ(notAnObject->localizedString("ok"), "ok");
    auto withoutEnglish = Bundle::open(directory("german", {{"de", R"({"ok":"Gut"})"}}));
    ASSERT_TRUE(withoutEnglish);
    EXPECT_EQ(withoutEnglish->localizedString("ok"), "ok");
}

TEST_F(ResourceBundle, TheMenuItemMessageTakesTheTitleThroughItsPlaceholder) {
    const std::string message = KeyboardShortcuts::localizedStringWithFormat(
        KeyboardShortcuts::localized("keyboard_shortcut_used_by_menu_item"), "Quit");
    EXPECT_NE(message.find("“Quit”"), std::string::npos) << message;
    EXPECT_EQ(KeyboardShortcuts::localizedStringWithFormat("no placeholder", "Quit"),
              "no placeholder");
    EXPECT_EQ(KeyboardShortcuts::localizedStringWithFormat("%1 and %1", "100%"), "100% and 100%");
}

TEST_F(ResourceBundle, TheLibraryBundleHasEveryKeyInEveryLanguage) {
    Bundle& bundle = Bundle::module();
    // The build placed it beside the test program.
    EXPECT_EQ(bundle.path().parent_path(), fs::read_symlink("/proc/self/exe").parent_path());
    for (const char* language : {"en", "de"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(language)));
        for (const std::string& key : libraryKeys) {
            const std::string text = bundle.localizedString(key);
            EXPECT_NE(text, key) << language << " " << key;
            const bool hasPlaceholder = text.find("%1") != std::string::npos;
            EXPECT_EQ(hasPlaceholder, key == "keyboard_shortcut_used_by_menu_item")
                << language << " " << key;
        }
    }
    QLocale::setDefault(QLocale(QLocale::English));
    EXPECT_EQ(KeyboardShortcuts::localized("space_key"), "space");
}

TEST(ResourceBundleDeathTest, NoBundleAnywhereStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<fs::path> nowhere = {"/nonexistent/share", "/nonexistent/bin"};
    EXPECT_DEATH((void)KeyboardShortcuts::requireBundle(nowhere),
                 "KeyboardShortcuts/resource_bundle_accessor:44: Fatal error: unable to find "
                 "bundle named KeyboardShortcuts_KeyboardShortcuts");
}

} // namespace
