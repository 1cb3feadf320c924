#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/KeyCodeTable.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <span>
#include <xkbcommon/xkbcommon.h>

namespace platform::linux_desktop {
namespace {

constexpr std::uint32_t noKeycode = XKB_KEYCODE_INVALID;

bool typesLatinLetters(xkb_keymap* keymap, xkb_layout_index_t group) {
    std::bitset<26> letters;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key) {
        if (group >= xkb_keymap_num_layouts_for_key(keymap, key)) {
            continue;
        }
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, group, 0, &symbols);
        for (const xkb_keysym_t symbol : std::span(symbols, std::max(count, 0))) {
            if (symbol >= XKB_KEY_a && symbol <= XKB_KEY_z) {
                letters.set(symbol - XKB_KEY_a);
            }
        }
    }
    return letters.all();
}

std::vector<bool> groupsTypingLatin(xkb_keymap* keymap) {
    std::vector<bool> groups;
    const xkb_layout_index_t count = xkb_keymap_num_layouts(keymap);
    for (xkb_layout_index_t group = 0; group < count; ++group) {
        groups.push_back(typesLatinLetters(keymap, group));
    }
    return groups;
}

std::vector<std::uint32_t> keycodesByVirtualKeyCode(const XkbKeymap& keymap) {
    std::vector<std::uint32_t> keycodes;
    for (const PhysicalKey& key : physicalKeys()) {
        if (key.virtualKeyCode >= keycodes.size()) {
            keycodes.resize(key.virtualKeyCode + 1U, noKeycode);
        }
        keycodes[key.virtualKeyCode] = keymap.keycode(key.xkbName).value_or(noKeycode);
    }
    return keycodes;
}

} // namespace

void XkbKeyboardLayout::StateRelease::operator()(xkb_state* state) const {
    xkb_state_unref(state);
}

XkbKeyboardLayout::XkbKeyboardLayout(XkbKeymap keymap, std::uint32_t currentGroup)
    : keymap_(std::move(keymap)), currentGroup_(currentGroup) {
    readKeymap();
}

void XkbKeyboardLayout::setKeymap(XkbKeymap keymap, std::uint32_t currentGroup) {
    keymap_ = std::move(keymap);
    currentGroup_ = currentGroup;
    readKeymap();
}

void XkbKeyboardLayout::setCurrentGroup(std::uint32_t currentGroup) {
    currentGroup_ = currentGroup;
    xkb_state_update_mask(state_.get(), 0, 0, 0, 0, 0, displayGroup());
}

std::optional<std::string> XkbKeyboardLayout::textForKey(std::uint16_t virtualKeyCode) {
    if (virtualKeyCode >= keycodes_.size() || keycodes_[virtualKeyCode] == noKeycode) {
        return std::nullopt;
    }
    const xkb_keycode_t key = keycodes_[virtualKeyCode];
    // A dead key and a key without symbols type nothing: no text.
    std::array<char, 64> buffer{};
    const int length = xkb_state_key_get_utf8(state_.get(), key, buffer.data(), buffer.size());
    if (length <= 0) {
        return std::nullopt;
    }
    if (static_cast<std::size_t>(length) < buffer.size()) {
        return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    xkb_state_key_get_utf8(state_.get(), key, text.data(), text.size() + 1);
    return text;
}

// The current group, or the first one that types the Latin letters when it does not; the
// current group still when none does.
std::uint32_t XkbKeyboardLayout::displayGroup() const {
    const std::uint32_t current =
        groupTypesLatin_.empty() ? 0 : currentGroup_ % groupTypesLatin_.size();
    if (groupTypesLatin_.empty() || groupTypesLatin_[current]) {
        return current;
    }
    const auto latin = std::ranges::find(groupTypesLatin_, true);
    return latin == groupTypesLatin_.end()
               ? current
               : static_cast<std::uint32_t>(latin - groupTypesLatin_.begin());
}

void XkbKeyboardLayout::readKeymap() {
    groupTypesLatin_ = groupsTypingLatin(keymap_.get());
    keycodes_ = keycodesByVirtualKeyCode(keymap_);
    state_.reset(xkb_state_new(keymap_.get()));
    xkb_state_update_mask(state_.get(), 0, 0, 0, 0, 0, displayGroup());
}

} // namespace platform::linux_desktop
