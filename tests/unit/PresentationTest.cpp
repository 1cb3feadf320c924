#include "KeyboardShortcuts/Presentation.h"

#include "tests/support/NamedKeyboardLayout.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using KeyboardShortcuts::Key;
using KeyboardShortcuts::keyToCharacter;
using KeyboardShortcuts::menuItemKeyEquivalent;
using KeyboardShortcuts::presentableDescription;
using KeyboardShortcuts::Shortcut;
using KeyboardShortcuts::toKeySequence;
using test_support::InstalledKeyboardLayout;
namespace Flags = platform::ModifierFlags;

constexpr std::uint64_t allModifiers =
    Flags::control | Flags::option | Flags::shift | Flags::command | Flags::function;
const std::string replacement = "\uFFFD";

std::string describe(std::int64_t keyCode, std::uint64_t flags = 0) {
    return presentableDescription(Shortcut(Key(keyCode), flags));
}

class Presentation : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English)); }
    void TearDown() override { QLocale::setDefault(savedLocale_); }

private:
    QLocale savedLocale_;
};

TEST_F(Presentation, ModifierSymbolsComeInTheirFixedOrderBeforeTheKey) {
    const InstalledKeyboardLayout us("us");
    EXPECT_EQ(describe(Key::a.rawValue, allModifiers), "⌃⌥⇧⌘🌐︎A");
    EXPECT_EQ(describe(Key::n.rawValue, Flags::option | Flags::control), "⌃⌥N");
    EXPECT_EQ(KeyboardShortcuts::ks_symbolicRepresentation(Flags::capsLock | Flags::numericPad),
              "");
    EXPECT_EQ(KeyboardShortcuts::description(Shortcut(Key::n, Flags::command)), "⌘N");
}

TEST_F(Presentation, LettersReadCapitalizedAndGoToMenusAsTyped) {
    const InstalledKeyboardLayout us("us");
    const Shortcut a(Key::a, 0);
    EXPECT_EQ(presentableDescription(a), "A");
    EXPECT_EQ(menuItemKeyEquivalent(a), "a");
    EXPECT_EQ(toKeySequence(a), QKeySequence(Qt::Key_A));
    EXPECT_EQ(toKeySequence(Shortcut(Key::a, Flags::command | Flags::shift)),
              QKeySequence(Qt::MetaModifier | Qt::ShiftModifier | Qt::Key_A));
    EXPECT_EQ(toKeySequence(Shortcut(Key::slash, Flags::control)),
              QKeySequence(Qt::ControlModifier | Qt::Key_Slash));
}

TEST_F(Presentation, SpecialKeysUseTheirSymbolsAndQtKeys) {
    const InstalledKeyboardLayout us("us");
    const Shortcut commandReturn(Key::return_, Flags::command);
    EXPECT_EQ(presentableDescription(commandReturn), "⌘↩");
    EXPECT_EQ(menuItemKeyEquivalent(commandReturn), "↩");
    EXPECT_EQ(toKeySequence(commandReturn), QKeySequence(Qt::MetaModifier | Qt::Key_Return));

    const Shortcut f1(Key::f1, 0);
    EXPECT_EQ(presentableDescription(f1), "F1");
    EXPECT_EQ(menuItemKeyEquivalent(f1), "\uF704");
    EXPECT_EQ(toKeySequence(f1), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(menuItemKeyEquivalent(Shortcut(Key::f20, 0)), "\uF717");
    EXPECT_EQ(describe(Key::f17.rawValue), "F17");

    EXPECT_EQ(describe(Key::help.rawValue), "?⃝");
    EXPECT_EQ(toKeySequence(Shortcut(Key::help, 0)), QKeySequence(Qt::Key_Insert));
    EXPECT_EQ(toKeySequence(Shortcut(Key::delete_, 0)), QKeySequence(Qt::Key_Backspace));
    EXPECT_EQ(toKeySequence(Shortcut(Key::deleteForward, 0)), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(describe(Key::keypadClear.rawValue), "☒⃣");
}

TEST_F(Presentation, KeypadKeysHaveDistinctLabelsButNoMenuOrQtForm) {
    const InstalledKeyboardLayout us("us");
    const Key keypad[] = {Key::keypad0,      Key::keypad1,        Key::keypad2,
                          Key::keypad3,      Key::keypad4,        Key::keypad5,
                          Key::keypad6,      Key::keypad7,        Key::keypad8,
                          Key::keypad9,      Key::keypadClear,    Key::keypadDecimal,
                          Key::keypadDivide, Key::keypadEnter,    Key::keypadEquals,
                          Key::keypadMinus,  Key::keypadMultiply, Key::keypadPlus};
    std::set<std::string> labels;
    for (const Key key : keypad) {
        const Shortcut shortcut(key, 0);
        const std::string label = presentableDescription(shortcut);
        EXPECT_NE(label, replacement) << key.rawValue;
        EXPECT_TRUE(labels.insert(label).second) << label;
        EXPECT_FALSE(menuItemKeyEquivalent(shortcut)) << key.rawValue;
        EXPECT_FALSE(toKeySequence(shortcut)) << key.rawValue;
    }
    EXPECT_FALSE(labels.contains(describe(Key::zero.rawValue)));
}

TEST_F(Presentation, SpaceIsTheCapitalizedLocalizedWord) {
    const InstalledKeyboardLayout us("us");
    const Shortcut commandSpace(Key::space, Flags::command);
    EXPECT_EQ(presentableDescription(commandSpace), "⌘Space");
    EXPECT_EQ(menuItemKeyEquivalent(commandSpace), " ");
    EXPECT_EQ(toKeySequence(commandSpace), QKeySequence(Qt::MetaModifier | Qt::Key_Space));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(presentableDescription(commandSpace), "⌘Leertaste");
}

TEST_F(Presentation, KeysThatTypeNoSingleCharacterReadAsTheReplacementCharacter) {
    const InstalledKeyboardLayout us("us");
    EXPECT_EQ(describe(1000, Flags::command), "⌘" + replacement);
    EXPECT_EQ(describe(-1), replacement);
    // Not cut down to 16 bits, where it would be the A key.
    EXPECT_EQ(describe(65536), replacement);
    EXPECT_EQ(describe(Key::shift.rawValue), replacement);
    EXPECT_FALSE(menuItemKeyEquivalent(Shortcut(1000, 0)));
    EXPECT_FALSE(toKeySequence(Shortcut(1000, 0)));
}

TEST_F(Presentation, ADeadKeyHasNoCharacter) {
    const InstalledKeyboardLayout german("de");
    const Shortcut grave(Key::backtick, Flags::control);
    EXPECT_EQ(presentableDescription(grave), "⌃" + replacement);
    EXPECT_FALSE(keyToCharacter(grave));
    EXPECT_FALSE(menuItemKeyEquivalent(grave));
    EXPECT_FALSE(toKeySequence(grave));
    EXPECT_EQ(describe(Key::y.rawValue), "Z");
    // Title case leaves a sharp s one letter, where upper case would make it two.
    EXPECT_EQ(describe(Key::minus.rawValue), "ß");
}

TEST_F(Presentation, KeysReadAsTheLayoutTypesThem) {
    const InstalledKeyboardLayout french("fr");
    EXPECT_EQ(describe(0), "Q");
    EXPECT_EQ(describe(12), "A");
    EXPECT_EQ(toKeySequence(Shortcut(12, 0)), QKeySequence(Qt::Key_A));
    const Shortcut eAcute(Key::two, Flags::control);
    EXPECT_EQ(presentableDescription(eAcute), "⌃É");
    EXPECT_EQ(menuItemKeyEquivalent(eAcute), "é");
    EXPECT_EQ(toKeySequence(eAcute), QKeySequence(Qt::ControlModifier | Qt::Key_Eacute));
}

TEST_F(Presentation, DvorakMovesLettersAndPunctuation) {
    const InstalledKeyboardLayout dvorak("us", "dvorak");
    EXPECT_EQ(describe(Key::s.rawValue), "O");
    EXPECT_EQ(describe(Key::q.rawValue), "'");
    EXPECT_EQ(describe(Key::a.rawValue), "A");
}

TEST_F(Presentation, LettersOfANonLatinLayoutReadInTheLatinLayoutConfiguredWithIt) {
    const InstalledKeyboardLayout russianFirst("ru,us");
    EXPECT_EQ(describe(Key::a.rawValue, Flags::command), "⌘A");
    EXPECT_EQ(toKeySequence(Shortcut(Key::a, 0)), QKeySequence(Qt::Key_A));
}

TEST_F(Presentation, ModifiersBecomeQtModifiers) {
    using KeyboardShortcuts::toEventModifiers;
    EXPECT_EQ(toEventModifiers(Flags::command), Qt::MetaModifier);
    EXPECT_EQ(toEventModifiers(Flags::control | Flags::option | Flags::shift),
              Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(toEventModifiers(Flags::numericPad), Qt::KeypadModifier);
    EXPECT_EQ(toEventModifiers(Flags::capsLock | Flags::function), Qt::NoModifier);
}

TEST_F(Presentation, QtCannotExpressTheFunctionModifier) {
    const InstalledKeyboardLayout us("us");
    EXPECT_FALSE(toKeySequence(Shortcut(Key::a, Flags::function | Flags::command)));
    EXPECT_FALSE(toKeySequence(Shortcut(Key::f5, Flags::function)));
}

TEST(FunctionKeys, AreF1ToF35) {
    using KeyboardShortcuts::functionKeys;
    EXPECT_EQ(functionKeys.front(), platform::SpecialKey::f1);
    EXPECT_EQ(functionKeys.back(), platform::SpecialKey::f35);
    EXPECT_EQ(std::ranges::count(functionKeys, platform::SpecialKey::f12), 1);
    EXPECT_EQ(std::ranges::count(functionKeys, platform::SpecialKey::tab), 0);
}

} // namespace
