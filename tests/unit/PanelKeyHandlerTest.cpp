#include "Pinlet/PanelKeyHandler.h"

#include <gtest/gtest.h>

namespace {

using pinlet::EditAction;
using pinlet::PanelKeyHandler;
using platform::Event;
using platform::EventType;
namespace Flags = platform::ModifierFlags;

class RecordingTarget final : public pinlet::PanelKeyTarget {
public:
    [[nodiscard]] bool firstResponderHasMarkedText() const override { return markedText; }
    std::optional<bool> tryToPerform(EditAction action) override {
        performed.push_back(action);
        return firstResponderAnswer;
    }
    [[nodiscard]] bool hasUndoManager() const override { return undoManager; }
    [[nodiscard]] bool canUndo() const override { return undoable; }
    [[nodiscard]] bool canRedo() const override { return redoable; }
    void undo() override { ++undos; }
    void redo() override { ++redos; }

    bool markedText = false;
    std::optional<bool> firstResponderAnswer = true;
    bool undoManager = true;
    bool undoable = true;
    bool redoable = true;
    int undos = 0;
    int redos = 0;
    std::vector<EditAction> performed;
};

Event keyDown(std::uint16_t keyCode, std::uint64_t flags, const std::string& characters) {
    Event event;
    event.keyCode = keyCode;
    event.modifierFlags = flags;
    event.characters = characters;
    event.charactersIgnoringModifiers = characters;
    return event;
}

Event escape(std::uint64_t flags = 0) {
    return keyDown(53, flags, "\x1b");
}

Event primary(const std::string& ignoringModifiers, std::uint64_t extraFlags = 0) {
    return keyDown(0, platform::primaryShortcutModifier | extraFlags, ignoringModifiers);
}

class PanelKeyHandlerTest : public ::testing::Test {
protected:
    PanelKeyHandlerTest() {
        handler.onEscape = [this] { ++escapes; };
        handler.onFontSize = [this](PanelKeyHandler::FontSizeStep step) { steps.push_back(step); };
    }

    PanelKeyHandler handler;
    RecordingTarget target;
    int escapes = 0;
    std::vector<PanelKeyHandler::FontSizeStep> steps;
};

TEST_F(PanelKeyHandlerTest, EscapeHidesWhateverModifiersAreHeld) {
    EXPECT_TRUE(handler.interceptEvent(escape(), target));
    EXPECT_TRUE(handler.interceptEvent(escape(Flags::shift), target));
    EXPECT_TRUE(handler.interceptEvent(escape(Flags::option), target));
    EXPECT_EQ(escapes, 3);
}

TEST_F(PanelKeyHandlerTest, EscapeDuringACompositionGoesToTheInputMethod) {
    target.markedText = true;
    EXPECT_FALSE(handler.interceptEvent(escape(), target));
    target.markedText = false;
    EXPECT_TRUE(handler.interceptEvent(escape(), target));
    EXPECT_EQ(escapes, 1);
}

TEST_F(PanelKeyHandlerTest, OnlyAnEscapePressIsIntercepted) {
    Event release = escape();
    release.type = EventType::keyUp;
    EXPECT_FALSE(handler.interceptEvent(release, target));
    EXPECT_FALSE(handler.interceptEvent(keyDown(49, 0, " "), target));
    EXPECT_EQ(escapes, 0);
}

TEST_F(PanelKeyHandlerTest, FontSizeKeysWithAndWithoutShift) {
    for (const char* key : {"=", "+", "-", "_", "0"}) {
        EXPECT_EQ(handler.performKeyEquivalent(primary(key), target), true) << key;
    }
    EXPECT_EQ(handler.performKeyEquivalent(primary("+", Flags::shift), target), true);
    EXPECT_EQ(steps, (std::vector<PanelKeyHandler::FontSizeStep>{1, 1, -1, -1, std::nullopt, 1}));
}

TEST_F(PanelKeyHandlerTest, EditingKeysGoToTheFirstResponderWhateverTheCase) {
    EXPECT_EQ(handler.performKeyEquivalent(primary("x"), target), true);
    EXPECT_EQ(handler.performKeyEquivalent(primary("C", Flags::shift), target), true);
    EXPECT_EQ(handler.performKeyEquivalent(primary("v", Flags::option), target), true);
    EXPECT_EQ(handler.performKeyEquivalent(primary("A", Flags::shift), target), true);
    EXPECT_EQ(target.performed,
              (std::vector<EditAction>{EditAction::cut, EditAction::copy, EditAction::paste,
                                       EditAction::selectAll}));
    target.firstResponderAnswer = false;
    EXPECT_EQ(handler.performKeyEquivalent(primary("c"), target), false);
}

TEST_F(PanelKeyHandlerTest, CopyWithoutAFirstResponderIsNotHandledAndNotPassedOn) {
    target.firstResponderAnswer = std::nullopt;
    EXPECT_EQ(handler.performKeyEquivalent(primary("c"), target), false);
}

TEST_F(PanelKeyHandlerTest, UndoAndRedoAreConsumedEvenWhenThereIsNothingToDo) {
    EXPECT_EQ(handler.performKeyEquivalent(primary("z"), target), true);
    EXPECT_EQ(handler.performKeyEquivalent(primary("Z", Flags::shift), target), true);
    EXPECT_EQ(target.undos, 1);
    EXPECT_EQ(target.redos, 1);

    target.undoable = false;
    target.redoable = false;
    EXPECT_EQ(handler.performKeyEquivalent(primary("z"), target), true);
    EXPECT_EQ(handler.performKeyEquivalent(primary("Z", Flags::shift), target), true);
    EXPECT_EQ(target.undos + target.redos, 2);

    target.undoManager = false;
    EXPECT_EQ(handler.performKeyEquivalent(primary("z"), target), false);
}

TEST_F(PanelKeyHandlerTest, OtherKeysAreLeftToNormalDispatch) {
    EXPECT_EQ(handler.performKeyEquivalent(primary("w"), target), std::nullopt);
    EXPECT_EQ(handler.performKeyEquivalent(primary("=="), target), std::nullopt);
    // Without the primary modifier the table does not apply, not even to "=".
    EXPECT_EQ(handler.performKeyEquivalent(keyDown(24, Flags::command, "="), target), std::nullopt);
    Event noCharacters = primary("");
    EXPECT_EQ(handler.performKeyEquivalent(noCharacters, target), std::nullopt);
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(target.performed.empty());
}

TEST(PanelKeyHandlerDefaults, EscapeAndFontKeysAreConsumedBeforeCallbacksAreInstalled) {
    PanelKeyHandler handler;
    RecordingTarget target;
    EXPECT_TRUE(handler.interceptEvent(escape(), target));
    EXPECT_EQ(handler.performKeyEquivalent(primary("="), target), true);
}

} // namespace
