#include "KeyboardShortcuts/Presentation.h"

#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "KeyboardShortcuts/resource_bundle_accessor.h"
#include "platform/KeyboardLayout.h"

#include <QList>
#include <QString>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <string_view>

namespace KeyboardShortcuts {
namespace {

// How a key that types no character is shown, keyed by its virtual key code.
struct SpecialKeyPresentation {
    Key key;
    std::string_view description;           // the space key's is looked up instead
    std::string_view menuItemKeyEquivalent; // empty: none
    Qt::Key qtKey;                          // Qt::Key_unknown: none
};

// The function keys' menu equivalents are the private-use characters U+F704 to U+F717 that
// menus know as F1 to F20. The help key sits where PC keyboards have Insert.
constexpr auto specialKeys = std::to_array<SpecialKeyPresentation>({
    {Key::return_, "\u21A9", "\u21A9", Qt::Key_Return},
    {Key::delete_, "\u232B", "\u232B", Qt::Key_Backspace},
    {Key::deleteForward, "\u2326", "\u2326", Qt::Key_Delete},
    {Key::end, "\u2198", "\u2198", Qt::Key_End},
    {Key::escape, "\u238B", "\u238B", Qt::Key_Escape},
    {Key::help, "?\u20DD", "?\u20DD", Qt::Key_Insert},
    {Key::home, "\u2196", "\u2196", Qt::Key_Home},
    {Key::space, "", " ", Qt::Key_Space},
    {Key::tab, "\u21E5", "\u21E5", Qt::Key_Tab},
    {Key::pageUp, "\u21DE", "\u21DE", Qt::Key_PageUp},
    {Key::pageDown, "\u21DF", "\u21DF", Qt::Key_PageDown},
    {Key::upArrow, "\u2191", "\u2191", Qt::Key_Up},
    {Key::rightArrow, "\u2192", "\u2192", Qt::Key_Right},
    {Key::downArrow, "\u2193", "\u2193", Qt::Key_Down},
    {Key::leftArrow, "\u2190", "\u2190", Qt::Key_Left},
    {Key::f1, "F1", "\uF704", Qt::Key_F1},
    {Key::f2, "F2", "\uF705", Qt::Key_F2},
    {Key::f3, "F3", "\uF706", Qt::Key_F3},
    {Key::f4, "F4", "\uF707", Qt::Key_F4},
    {Key::f5, "F5", "\uF708", Qt::Key_F5},
    {Key::f6, "F6", "\uF709", Qt::Key_F6},
    {Key::f7, "F7", "\uF70A", Qt::Key_F7},
    {Key::f8, "F8", "\uF70B", Qt::Key_F8},
    {Key::f9, "F9", "\uF70C", Qt::Key_F9},
    {Key::f10, "F10", "\uF70D", Qt::Key_F10},
    {Key::f11, "F11", "\uF70E", Qt::Key_F11},
    {Key::f12, "F12", "\uF70F", Qt::Key_F12},
    {Key::f13, "F13", "\uF710", Qt::Key_F13},
    {Key::f14, "F14", "\uF711", Qt::Key_F14},
    {Key::f15, "F15", "\uF712", Qt::Key_F15},
    {Key::f16, "F16", "\uF713", Qt::Key_F16},
    {Key::f17, "F17", "\uF714", Qt::Key_F17},
    {Key::f18, "F18", "\uF715", Qt::Key_F18},
    {Key::f19, "F19", "\uF716", Qt::Key_F19},
    {Key::f20, "F20", "\uF717", Qt::Key_F20},
    // Keypad keys: the key's character in a keycap, so that they differ from the main keys.
    {Key::keypad0, "0\u20E3", "", Qt::Key_unknown},
    {Key::keypad1, "1\u20E3", "", Qt::Key_unknown},
    {Key::keypad2, "2\u20E3", "", Qt::Key_unknown},
    {Key::keypad3, "3\u20E3", "", Qt::Key_unknown},
    {Key::keypad4, "4\u20E3", "", Qt::Key_unknown},
    {Key::keypad5, "5\u20E3", "", Qt::Key_unknown},
    {Key::keypad6, "6\u20E3", "", Qt::Key_unknown},
    {Key::keypad7, "7\u20E3", "", Qt::Key_unknown},
    {Key::keypad8, "8\u20E3", "", Qt::Key_unknown},
    {Key::keypad9, "9\u20E3", "", Qt::Key_unknown},
    {Key::keypadClear, "\u2612\u20E3", "", Qt::Key_unknown},
    {Key::keypadDecimal, ".\u20E3", "", Qt::Key_unknown},
    {Key::keypadDivide, "/\u20E3", "", Qt::Key_unknown},
    {Key::keypadEnter, "\u2324", "", Qt::Key_unknown},
    {Key::keypadEquals, "=\u20E3", "", Qt::Key_unknown},
    {Key::keypadMinus, "-\u20E3", "", Qt::Key_unknown},
    {Key::keypadMultiply, "*\u20E3", "", Qt::Key_unknown},
    {Key::keypadPlus, "+\u20E3", "", Qt::Key_unknown},
});

// Each modifier as a symbol, and as a word by its key in the string tables, in the order both are
// written.
struct ModifierPresentation {
    std::uint64_t flag;
    std::string_view symbol;
    std::string_view nameKey;
};

constexpr std::array modifierPresentations{
    ModifierPresentation{platform::ModifierFlags::control, "\u2303", "control_key"},
    ModifierPresentation{platform::ModifierFlags::option, "\u2325", "option_key"},
    ModifierPresentation{platform::ModifierFlags::shift, "\u21E7", "shift_key"},
    ModifierPresentation{platform::ModifierFlags::command, "\u2318", "command_key"},
    ModifierPresentation{platform::ModifierFlags::function, "\U0001F310\uFE0E", "function_key"},
};

struct QtModifier {
    std::uint64_t flag;
    Qt::KeyboardModifier modifier;
};

constexpr std::array qtModifiers{
    QtModifier{platform::ModifierFlags::command, Qt::MetaModifier},
    QtModifier{platform::ModifierFlags::control, Qt::ControlModifier},
    QtModifier{platform::ModifierFlags::numericPad, Qt::KeypadModifier},
    QtModifier{platform::ModifierFlags::option, Qt::AltModifier},
    QtModifier{platform::ModifierFlags::shift, Qt::ShiftModifier},
};

constexpr std::string_view replacementCharacter = "\uFFFD";

const SpecialKeyPresentation* findSpecialKey(Key key) {
    const auto* found = std::ranges::find(specialKeys, key, &SpecialKeyPresentation::key);
    return found == specialKeys.end() ? nullptr : found;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool isOneGraphemeCluster(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    return clusters.toNextBoundary() == text.size();
}

// The first letter of each word in title case, every other letter in lower case; words are
// separated by white space.
std::string capitalized(std::string_view text) {
    std::u32string result;
    bool atWordStart = true;
    for (const char32_t codePoint : fromUtf8(text).toLower().toUcs4()) {
        result.push_back(atWordStart ? QChar::toTitleCase(codePoint) : codePoint);
        atWordStart = QChar::isSpace(codePoint);
    }
    return QString::fromUcs4(result.data(), static_cast<qsizetype>(result.size())).toStdString();
}

std::string describe(const SpecialKeyPresentation& special) {
    if (special.key == Key::space) {
        return capitalized(localized("space_key"));
    }
    return std::string(special.description);
}

// How the key itself reads after the modifiers: special keys by the table, or, in words, by
// their name in Qt's (translated) key names.
std::string keyDescription(const Shortcut& shortcut, bool inWords) {
    if (const auto* special = findSpecialKey(shortcut.key())) {
        if (inWords && special->key != Key::space && special->qtKey != Qt::Key_unknown) {
            return QKeySequence(special->qtKey).toString(QKeySequence::NativeText).toStdString();
        }
        return describe(*special);
    }
    const auto character = keyToCharacter(shortcut);
    return character ? capitalized(*character) : std::string(replacementCharacter);
}

// Qt names a key that types a character by the upper-case form of that character.
std::optional<Qt::Key> qtKeyForCharacter(const std::optional<std::string>& character) {
    if (!character) {
        return std::nullopt;
    }
    const QList<uint> codePoints = QString::fromStdString(*character).toUcs4();
    if (codePoints.size() != 1) {
        return std::nullopt;
    }
    return static_cast<Qt::Key>(QChar::toUpper(static_cast<char32_t>(codePoints.front())));
}

std::optional<Qt::Key> qtKey(const Shortcut& shortcut) {
    if (const auto* special = findSpecialKey(shortcut.key())) {
        return special->qtKey == Qt::Key_unknown ? std::nullopt : std::optional(special->qtKey);
    }
    return qtKeyForCharacter(keyToCharacter(shortcut));
}

} // namespace

std::string ks_symbolicRepresentation(std::uint64_t modifierFlags) {
    std::string symbols;
    for (const auto& [flag, symbol, nameKey] : modifierPresentations) {
        if ((modifierFlags & flag) != 0) {
            symbols += symbol;
        }
    }
    return symbols;
}

Qt::KeyboardModifiers toEventModifiers(std::uint64_t modifierFlags) {
    Qt::KeyboardModifiers modifiers;
    for (const auto& [flag, modifier] : qtModifiers) {
        modifiers.setFlag(modifier, (modifierFlags & flag) != 0);
    }
    return modifiers;
}

std::optional<std::string> keyToCharacter(const Shortcut& shortcut) {
    const std::int64_t code = shortcut.carbonKeyCode();
    if (code < 0 || code > 0xFFFF || findSpecialKey(shortcut.key()) != nullptr) {
        return std::nullopt;
    }
    auto text =
        internal::installedServices().keyboardLayout.textForKey(static_cast<std::uint16_t>(code));
    if (!text || !isOneGraphemeCluster(fromUtf8(*text))) {
        return std::nullopt;
    }
    return text;
}

std::string presentableDescription(const Shortcut& shortcut) {
    return ks_symbolicRepresentation(shortcut.modifiers()) + keyDescription(shortcut, false);
}

std::string desktopDescription(const Shortcut& shortcut) {
    std::string text;
    for (const auto& [flag, symbol, nameKey] : modifierPresentations) {
        if ((shortcut.modifiers() & flag) != 0) {
            text += localized(nameKey) + "+";
        }
    }
    return text + keyDescription(shortcut, true);
}

std::optional<std::string> menuItemKeyEquivalent(const Shortcut& shortcut) {
    if (const auto* special = findSpecialKey(shortcut.key())) {
        if (special->menuItemKeyEquivalent.empty()) {
            return std::nullopt;
        }
        return std::string(special->menuItemKeyEquivalent);
    }
    return keyToCharacter(shortcut);
}

std::optional<QKeySequence> toKeySequence(const Shortcut& shortcut) {
    if ((shortcut.modifiers() & platform::ModifierFlags::function) != 0) {
        return std::nullopt;
    }
    const auto key = qtKey(shortcut);
    if (!key) {
        return std::nullopt;
    }
    return QKeySequence(QKeyCombination(toEventModifiers(shortcut.modifiers()), *key));
}

QKeySequence keySequenceOrNone(const std::optional<Shortcut>& shortcut) {
    const auto sequence = shortcut ? toKeySequence(*shortcut) : std::nullopt;
    return sequence.value_or(QKeySequence());
}

} // namespace KeyboardShortcuts
