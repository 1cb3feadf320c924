#include "platform/linux/DesktopShortcutSettings.h"

#include "platform/HotKeyService.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace platform::HotKeyModifier;
using platform::linux_desktop::AcceleratorReader;
using platform::linux_desktop::KeyCombination;
using platform::linux_desktop::XkbKeymap;

// The desktops' settings files in a scratch configuration directory, with GSettings on its
// keyfile backend there; GLib reads both variables once, before its first use in the process.
void writeSettings(const QString& name, const QByteArray& text) {
    static const QTemporaryDir directory;
    qputenv("XDG_CONFIG_HOME", directory.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    const QString path = directory.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

TEST(AcceleratorReader, ReadsGtkAndQtTextsThroughTheKeymap) {
    const AcceleratorReader us(XkbKeymap::fromNames("us").value());
    const AcceleratorReader german(XkbKeymap::fromNames("de").value());
    const std::tuple<const AcceleratorReader&, bool, const char*, std::optional<KeyCombination>>
        cases[] = {
            {us, true, "<Shift><Control>Page_Up", KeyCombination{116, shift | control}},
            {us, true, "<ctrl><Mod4>A", KeyCombination{0, control | command}},
            {german, true, "<Mod1>z", KeyCombination{16, option}}, // where US has Y
            {us, true, "disabled", std::nullopt},
            {us, true, "<Hyper>a", std::nullopt},   // a modifier we cannot express
            {us, true, "<Alt>Print", std::nullopt}, // a key without a virtual key code
            {us, false, "Ctrl+Alt+T", KeyCombination{17, control | option}},
            {us, false, "Meta+Shift+PgDown", KeyCombination{121, command | shift}},
            {us, false, "Esc", KeyCombination{53, 0}},
        };
    for (const auto& [reader, gtk, text, expected] : cases) {
        EXPECT_EQ(gtk ? reader.fromGtk(text) : reader.fromQt(text), expected) << text;
    }
}

// GNOME's keybindings over their schema defaults, and KDE's global shortcuts that are active.
TEST(DesktopShortcutSettings, ReadsTheGnomeKeybindingsAndTheActiveKdeGlobalShortcuts) {
    const AcceleratorReader reader(XkbKeymap::fromNames("us").value());
    writeSettings("glib-2.0/settings/keyfile",
                  "[org/gnome/desktop/wm/keybindings]\n"
                  "close=['disabled']\n"
                  "activate-window-menu=['garbage', '<Primary><Alt>t']\n"
                  "show-desktop=['<Super>y', '']\n");
    const auto combinations = platform::linux_desktop::gnomeKeybindings(reader);
    const auto contains = [&](KeyCombination combination) {
        return std::ranges::find(combinations, combination) != combinations.end();
    };
    EXPECT_TRUE(contains({17, control | option}));
    EXPECT_TRUE(contains({16, command}));
    EXPECT_TRUE(contains({115, command})); // a default: switch to the first workspace
    EXPECT_FALSE(contains({118, option})); // Alt+F4, closing windows no more

    writeSettings("kglobalshortcutsrc", "[$Version]\n"
                                        "update_info=kded.upd:kde4.3\n"
                                        "[kwin]\n"
                                        "_k_friendly_name=KWin\n"
                                        "Window Close=Alt+F4,Alt+F4,Close Window\n"
                                        "Show Desktop=Meta+D\\tCtrl+F12,Meta+D,Peek, or show\n"
                                        "Expose=none,Ctrl+F9,Toggle Present Windows\n"
                                        "a line without an entry\n"
                                        "  view_zoom_in = Meta++\\tMeta+=,Meta++,Zoom In\n"
                                        "[kmix]\n"
                                        "increase_volume=Volume Up,Volume Up,Increase Volume\n"
                                        "comma=Ctrl+\\,,none,Comma\n");
    const std::vector<KeyCombination> expected{{118, option}, {2, command},  {111, control},
                                               {24, command}, {24, command}, {72, 0},
                                               {43, control}};
    EXPECT_EQ(platform::linux_desktop::kdeGlobalShortcuts(reader), expected);
}

} // namespace
