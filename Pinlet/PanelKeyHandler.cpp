#include "Pinlet/PanelKeyHandler.h"

#include <QString>
#include <array>
#include <string_view>

namespace pinlet {
namespace {

constexpr std::uint16_t escapeKeyCode = 53;
constexpr std::string_view escapeCharacter = "\x1b";

constexpr std::array editActions = {
    std::pair{std::string_view("x"), EditAction::cut},
    std::pair{std::string_view("c"), EditAction::copy},
    std::pair{std::string_view("v"), EditAction::paste},
    std::pair{std::string_view("a"), EditAction::selectAll},
};

std::string lowercased(const std::string& utf8) {
    return QString::fromStdString(utf8).toLower().toStdString();
}

// The Escape position, or whichever key the layout makes type Escape (Caps Lock, for many).
// Ctrl+[ types Escape as well, but to the user it stays a bracket.
bool isEscape(const platform::Event& event) {
    const bool control = (event.modifierFlags & platform::ModifierFlags::control) != 0;
    return event.keyCode == escapeKeyCode || (event.characters == escapeCharacter && !control);
}

} // namespace

bool PanelKeyHandler::interceptEvent(const platform::Event& event,
                                     const PanelKeyTarget& target) const {
    if (event.type != platform::EventType::keyDown || !isEscape(event)) {
        return false;
    }
    // During a composition Escape belongs to the input method, which cancels it.
    if (target.firstResponderHasMarkedText()) {
        return false;
    }
    onEscape();
    return true;
}

std::optional<bool> PanelKeyHandler::performKeyEquivalent(const platform::Event& event,
                                                          PanelKeyTarget& target) const {
    if ((event.modifierFlags & platform::primaryShortcutModifier) == 0 ||
        event.characters.empty()) {
        return std::nullopt;
    }
    const std::string key = lowercased(event.charactersIgnoringModifiers);
    if (key == "=" || key == "+") {
        onFontSize(+1);
        return true;
    }
    if (key == "-" || key == "_") {
        onFontSize(-1);
        return true;
    }
    if (key == "0") {
        onFontSize(std::nullopt);
        return true;
    }
    for (const auto& [characters, action] : editActions) {
        if (key == characters) {
            return target.tryToPerform(action).value_or(false);
        }
    }
    if (key == "z") {
        return undoOrRedo(event, target);
    }
    return std::nullopt;
}

bool PanelKeyHandler::undoOrRedo(const platform::Event& event, PanelKeyTarget& target) {
    if (!target.hasUndoManager()) {
        return false;
    }
    if ((event.modifierFlags & platform::ModifierFlags::shift) != 0) {
        if (target.canRedo()) {
            target.redo();
        }
    } else if (target.canUndo()) {
        target.undo();
    }
    return true;
}

} // namespace pinlet
