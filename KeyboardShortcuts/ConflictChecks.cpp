#include "KeyboardShortcuts/ConflictChecks.h"

#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "platform/SystemHotKeys.h"

#include <QMenu>
#include <QPointer>
#include <algorithm>

namespace KeyboardShortcuts {
namespace {

// The device-independent flags without caps lock and the numeric pad.
constexpr std::uint64_t countedModifiers = 0xFFDE0000;
// What a function key may carry on its own.
constexpr std::uint64_t functionKeyModifiers =
    platform::ModifierFlags::shift | platform::ModifierFlags::function;

QPointer<QMenu>& mainMenuPointer() {
    static QPointer<QMenu> menu;
    return menu;
}

bool isFunctionKey(const std::optional<platform::SpecialKey>& key) {
    return key && std::ranges::find(functionKeys, *key) != functionKeys.end();
}

QAction* actionWithSequence(const QMenu& menu, const QKeySequence& sequence) {
    for (QAction* action : menu.actions()) {
        if (action->shortcuts().contains(sequence)) {
            return action;
        }
        if (const QMenu* submenu = action->menu()) {
            if (QAction* found = actionWithSequence(*submenu, sequence)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

std::uint64_t shortcutModifiers(const platform::Event& event) {
    return event.modifierFlags & countedModifiers;
}

bool meetsModifierRequirement(const platform::Event& event) {
    return (shortcutModifiers(event) & ~functionKeyModifiers) != 0 ||
           isFunctionKey(event.specialKey);
}

void setMainMenu(QMenu* menu) {
    mainMenuPointer() = menu;
}

QMenu* mainMenu() {
    return mainMenuPointer().data();
}

QAction* menuItemWithMatchingShortcut(const Shortcut& shortcut, const QMenu& menu) {
    const auto sequence = toKeySequence(shortcut);
    return sequence ? actionWithSequence(menu, *sequence) : nullptr;
}

bool isDisallowed(const Shortcut& /*shortcut*/) {
    return false;
}

bool isUsedBySystem(const Shortcut& shortcut) {
    const auto hotKeys = CarbonKeyboardShortcuts::system(shortcut);
    return std::ranges::find(hotKeys, shortcut) != hotKeys.end();
}

std::vector<Shortcut> CarbonKeyboardShortcuts::system(const Shortcut& candidate) {
    const auto records = internal::installedServices().systemHotKeys.copySymbolicHotKeys(
        static_cast<std::uint32_t>(candidate.carbonKeyCode()),
        static_cast<std::uint32_t>(candidate.carbonModifiers()));
    std::vector<Shortcut> hotKeys;
    for (const auto& record : records.value_or(std::vector<platform::SystemHotKey>{})) {
        if (record.enabled) {
            hotKeys.emplace_back(record.keyCode, record.modifiers);
        }
    }
    return hotKeys;
}

} // namespace KeyboardShortcuts
