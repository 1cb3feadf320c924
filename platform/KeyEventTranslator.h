#pragma once

#include "platform/Event.h"

class QKeyEvent;

namespace platform {

// Turns the toolkit's key events into the system's own events where they enter, through the
// keymap in force at the time of the call.
class KeyEventTranslator {
public:
    KeyEventTranslator() = default;
    KeyEventTranslator(const KeyEventTranslator&) = delete;
    KeyEventTranslator& operator=(const KeyEventTranslator&) = delete;
    virtual ~KeyEventTranslator() = default;

    [[nodiscard]] virtual Event translate(const QKeyEvent& event) = 0;
};

} // namespace platform
