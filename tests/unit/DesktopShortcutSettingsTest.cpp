#include "platform/linux/DesktopShortcutSettings.h"

#include "platform/HotKeyService.h"
#include "platform/linux/gnome/GnomeKeybindingHotKeyService.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace platform::HotKeyModifier;
using platform::linux_desktop::AcceleratorReader;
using platform::linux_desktop::GnomeKeybindingHotKeyService;
using platform::linux_desktop::KeyCombination;
using platform::linux_desktop::XkbKeymap;

// The desktops' settings files in a scratch configuration directory, with GSettings on its
// keyfile backend there; GLib reads both variables once, before its first use in the process.
const QTemporaryDir& settingsDirectory() {
    static const QTemporaryDir directory;
    return directory;
}

void writeSettings(const QString& name, const QByteArray& text) {
    const QTemporaryDir& directory = settingsDirectory();
    qputenv("XDG_CONFIG_HOME", directory.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    const QString path = directory.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    // Whole, as programs replace settings files, so that a watcher never reads half of one.
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                file.commit());
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

const QString gnomeSettings = "glib-2.0/settings/keyfile";
const std::string customPaths = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";
const GnomeKeybindingHotKeyService::Entry pinletEntry{
    customPaths + "pinlet/", "Pinlet", {"/opt/my apps/pinlet", "--toggle"}};

QByteArray readSettings(const QString& name) {
    QFile file(settingsDirectory().filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// GNOME's settings as another program leaves them, once this one has read them back.
template <typename Condition> bool changeGnomeSettings(const QByteArray& text, Condition settled) {
    writeSettings(gnomeSettings, text);
    return QTest::qWaitFor(settled);
}

// The entry beside the user's own, which stay in their order; keys the user sets there come
// back; it leaves the list once nothing is registered.
TEST(GnomeKeybindingHotKeyService, KeepsItsEntryBesideTheUsersAndHearsTheirChanges) {
    const QByteArray usersList = "[org/gnome/settings-daemon/plugins/media-keys]\n"
                                 "custom-keybindings=['" +
                                 QByteArray::fromStdString(customPaths) + "custom0/']\n[" +
                                 QByteArray::fromStdString(customPaths).mid(1) +
                                 "custom0]\nbinding='<Super>t'\n";
    const AcceleratorReader reader(XkbKeymap::fromNames("us").value());
    ASSERT_TRUE(changeGnomeSettings(usersList, [&] {
        return std::ranges::count(platform::linux_desktop::gnomeKeybindings(reader),
                                  KeyCombination{17, command}) > 0;
    }));
    ASSERT_EQ(GnomeKeybindingHotKeyService::problemWith(pinletEntry), std::nullopt);
    const auto keymap = XkbKeymap::fromNames("us").value();
    std::vector<std::optional<KeyCombination>> changes;
    GnomeKeybindingHotKeyService service(keymap, pinletEntry,
                                         [&](const auto& change) { changes.push_back(change); });
    const auto registration = service.registerHotKey(45, control | option, {});
    ASSERT_TRUE(QTest::qWaitFor([] { return readSettings(gnomeSettings).contains("pinlet"); }));
    const QByteArray written = readSettings(gnomeSettings);
    EXPECT_TRUE(
        written.contains("custom0/', '" + QByteArray::fromStdString(customPaths) + "pinlet/']"));
    EXPECT_TRUE(written.contains("binding='<Control><Alt>n'"));
    // Its own keys are no conflict for it, as they are for others.
    const auto heldBy = [&](std::string_view owner) {
        return std::ranges::count(platform::linux_desktop::gnomeKeybindings(reader, owner),
                                  KeyCombination{45, control | option});
    };
    EXPECT_EQ(heldBy(pinletEntry.path), 0);
    EXPECT_EQ(heldBy({}), 1);
    EXPECT_TRUE(written.contains("command=\"'/opt/my apps/pinlet' --toggle\""));

    ASSERT_TRUE(changeGnomeSettings(QByteArray(written).replace("<Control><Alt>n", "<Super>k"),
                                    [&] { return !changes.empty(); }));
    EXPECT_EQ(changes, (std::vector<std::optional<KeyCombination>>{KeyCombination{40, command}}));

    service.unregisterHotKey(registration.reference);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !readSettings(gnomeSettings).contains("pinlet/'"); }));
    EXPECT_TRUE(readSettings(gnomeSettings).contains("custom0/']"));
}

// Settings it would spoil, or that someone else's entry holds, are named and left alone.
TEST(GnomeKeybindingHotKeyService, NamesWhatItCannotKeepItsEntryIn) {
    const std::pair<QByteArray, std::string> cases[] = {
        {"[org/gnome/settings-daemon/plugins/media-keys]\ncustom-keybindings=['terminal']\n",
         "holds \"terminal\", which is not a settings path"},
        {"[org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/pinlet]\n"
         "command='xterm'\n",
         "runs \"xterm\", which is not '/opt/my apps/pinlet' --toggle"},
    };
    for (const auto& [settings, problem] : cases) {
        EXPECT_TRUE(changeGnomeSettings(settings, [&, &problem = problem] {
            const auto found = GnomeKeybindingHotKeyService::problemWith(pinletEntry);
            return found && found->find(problem) != std::string::npos;
        })) << problem;
    }
}

} // namespace
