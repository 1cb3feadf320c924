#include "platform/linux/x11/X11SystemHotKeys.h"

#include "platform/linux/DesktopShortcutSettings.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/linux/x11/X11HotKeyService.h"

#include <utility>

namespace platform::linux_desktop {

namespace {

void addEnabled(std::vector<SystemHotKey>& hotKeys, const std::vector<KeyCombination>& claimed) {
    for (const auto& combination : claimed) {
        hotKeys.push_back(
            {.enabled = true, .keyCode = combination.keyCode, .modifiers = combination.modifiers});
    }
}

} // namespace

X11SystemHotKeys::X11SystemHotKeys(X11HotKeyService& hotKeys, const XkbKeyboardLayout& layout,
                                   std::string ownGnomeCommandPath)
    : hotKeys_(hotKeys), layout_(layout), ownGnomeCommandPath_(std::move(ownGnomeCommandPath)) {}

// Every source is optional: the query as a whole never fails.
std::optional<std::vector<SystemHotKey>>
X11SystemHotKeys::copySymbolicHotKeys(std::uint32_t candidateKeyCode,
                                      std::uint32_t candidateModifiers) {
    const AcceleratorReader reader(layout_.keymap());
    std::vector<SystemHotKey> hotKeys;
    addEnabled(hotKeys, gnomeKeybindings(reader, ownGnomeCommandPath_));
    addEnabled(hotKeys, kdeGlobalShortcuts(reader));
    if (hotKeys_.isHeldByAnotherClient(candidateKeyCode, candidateModifiers)) {
        hotKeys.push_back(
            {.enabled = true, .keyCode = candidateKeyCode, .modifiers = candidateModifiers});
    }
    return hotKeys;
}

} // namespace platform::linux_desktop
