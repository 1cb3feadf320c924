#pragma once

#include "platform/Event.h"

#include <functional>
#include <optional>

namespace pinlet {

enum class EditAction { cut, copy, paste, selectAll };

// What the panel's keys act on: the window's first responder and its undo manager.
class PanelKeyTarget {
public:
    PanelKeyTarget() = default;
    PanelKeyTarget(const PanelKeyTarget&) = delete;
    PanelKeyTarget& operator=(const PanelKeyTarget&) = delete;
    virtual ~PanelKeyTarget() = default;

    // An input-method composition is in progress in the first responder.
    [[nodiscard]] virtual bool firstResponderHasMarkedText() const = 0;
    // Whether the first responder performed the action; none when there is no first responder.
    virtual std::optional<bool> tryToPerform(EditAction action) = 0;

    [[nodiscard]] virtual bool hasUndoManager() const = 0;
    [[nodiscard]] virtual bool canUndo() const = 0;
    [[nodiscard]] virtual bool canRedo() const = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
};

// The note panel's keyboard: Escape hides it, the primary modifier with "=", "-" or "0" steps
// the font size, and the editing keys are dispatched by the panel itself, so that they work
// without any application menu.
class PanelKeyHandler {
public:
    using FontSizeStep = std::optional<int>; // +1, -1, or none for a reset

    std::function<void()> onEscape = [] {};
    std::function<void(FontSizeStep)> onFontSize = [](FontSizeStep) {};

    // Whether the event was consumed before normal dispatch.
    bool interceptEvent(const platform::Event& event, const PanelKeyTarget& target) const;
    // Whether a key equivalent was handled; none leaves the decision to normal dispatch.
    std::optional<bool> performKeyEquivalent(const platform::Event& event,
                                             PanelKeyTarget& target) const;

private:
    static bool undoOrRedo(const platform::Event& event, PanelKeyTarget& target);
};

} // namespace pinlet
