#include "KeyboardShortcuts/Presentation.h"

#include "tests/unit/KeyboardShortcutsFixture.h"

#include <QLocale>

namespace {

using KeyboardShortcuts::Key;
using Presentation = test_support::KeyboardShortcutsFixture;
namespace Flags = platform::ModifierFlags;

// How a shortcut reads, goes to menus and to Qt in a layout from xkb-data, in English.
TEST_F(Presentation, PresentsModifierSymbolsInOrderThenTheKey) {
    struct Shown {
        const char* layout;
        Shortcut shortcut;
        std::string description;
        std::optional<std::string> menuItem;
        std::optional<QKeySequence> keySequence;
    };
    constexpr std::uint64_t all =
        Flags::control | Flags::option | Flags::shift | Flags::command | Flags::function;
    const std::string none = "\uFFFD";
    const Shown cases[] = {
        {"us", Shortcut(Key::a, all), "⌃⌥⇧⌘🌐︎A", "a", std::nullopt},
        {"us", Shortcut(Key::a, Flags::command | Flags::shift), "⇧⌘A", "a",
         QKeySequence(Qt::MetaModifier | Qt::ShiftModifier | Qt::Key_A)},
        {"us", Shortcut(Key::slash, Flags::option | Flags::control), "⌃⌥/", "/",
         QKeySequence(Qt::ControlModifier | Qt::AltModifier | Qt::Key_Slash)},
        {"us", Shortcut(Key::f1, 0), "F1", "\uF704", QKeySequence(Qt::Key_F1)},
        {"us", Shortcut(Key::help, 0), "?⃝", "?⃝", QKeySequence(Qt::Key_Insert)},
        {"us", Shortcut(Key::keypad1, 0), "1⃣", std::nullopt, std::nullopt},
        {"us", Shortcut(Key::space, Flags::command), "⌘Space", " ",
         QKeySequence(Qt::MetaModifier | Qt::Key_Space)},
        {"us", Shortcut(65536, 0), none, std::nullopt, std::nullopt}, // not cut down to the A key
        {"fr", Shortcut(Key::two, Flags::control), "⌃É", "é",
         QKeySequence(Qt::ControlModifier | Qt::Key_Eacute)},
        {"de", Shortcut(Key::minus, 0), "ß", "ß", QKeySequence(Qt::Key_ssharp)}, // not SS
        {"de", Shortcut(Key::backtick, Flags::control), "⌃" + none, std::nullopt, std::nullopt},
    };
    QLocale::setDefault(QLocale(QLocale::English));
    for (const auto& [names, shortcut, description, menuItem, keySequence] : cases) {
        layout.setKeymap(platform::linux_desktop::XkbKeymap::fromNames(names).value(), 0);
        EXPECT_EQ(KeyboardShortcuts::presentableDescription(shortcut), description) << description;
        EXPECT_EQ(KeyboardShortcuts::menuItemKeyEquivalent(shortcut), menuItem) << description;
        EXPECT_EQ(KeyboardShortcuts::toKeySequence(shortcut), keySequence) << description;
    }
}

} // namespace
