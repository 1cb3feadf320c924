#include "Pinlet/ToggleShortcut.h"

#include "KeyboardShortcuts/Dispatch.h"
#include "Pinlet/AppDelegate.h"
#include "platform/Event.h"

#include <QCoreApplication>

namespace pinlet {

const KeyboardShortcuts::Name& togglePanel() {
    static const KeyboardShortcuts::Name name(
        "togglePanel",
        KeyboardShortcuts::Shortcut(KeyboardShortcuts::Key::n, platform::ModifierFlags::control |
                                                                   platform::ModifierFlags::option),
        QCoreApplication::translate("pinlet::ToggleHotKeys", "Show or hide the Pinlet note")
            .toStdString());
    return name;
}

// On release, so that holding the keys does nothing until they are let go.
void registerToggleShortcut(std::weak_ptr<AppDelegate> delegate) {
    KeyboardShortcuts::onKeyUp(togglePanel(), [delegate = std::move(delegate)] {
        if (const auto alive = delegate.lock()) {
            alive->panel().toggle();
        }
    });
}

} // namespace pinlet
