#include "KeyboardShortcuts/Name.h"

#include "KeyboardShortcuts/internal/DispatchState.h"
#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "KeyboardShortcuts/internal/Storage.h"
#include "platform/NotificationCenter.h"
#include "platform/PreferencesStore.h"

#include <cctype>
#include <unordered_map>

namespace KeyboardShortcuts {
namespace {

platform::PreferencesStore& store() {
    return internal::installedServices().preferences;
}

// Decoding depends on the text alone, and dispatch reads the text of every handled name at each
// key event: the few texts seen are decoded once. The store is still read every time.
std::optional<Shortcut> decodeStored(const std::string& text) {
    constexpr std::size_t remembered = 256;
    static std::unordered_map<std::string, std::optional<Shortcut>> decoded;
    if (const auto found = decoded.find(text); found != decoded.end()) {
        return found->second;
    }
    if (decoded.size() >= remembered) {
        decoded.clear();
    }
    return decoded.emplace(text, Shortcut::fromJson(text)).first->second;
}

std::unordered_map<std::string, std::string>& descriptions() {
    static std::unordered_map<std::string, std::string> given;
    return given;
}

// "togglePanel" reads "Toggle panel": words where the case turns up or a separator stands.
std::string describedByItsName(const std::string& rawValue) {
    std::string text;
    for (const char character : rawValue) {
        const bool separator = character == '_' || character == '-' || character == '.';
        if (separator ||
            (std::isupper(static_cast<unsigned char>(character)) != 0 && !text.empty())) {
            if (!text.empty() && text.back() != ' ') {
                text += ' ';
            }
            if (separator) {
                continue;
            }
        }
        text +=
            static_cast<char>(text.empty() ? std::toupper(static_cast<unsigned char>(character))
                                           : std::tolower(static_cast<unsigned char>(character)));
    }
    return text;
}

} // namespace

std::string description(const Name& name) {
    const auto found = descriptions().find(name.rawValue());
    return found != descriptions().end() ? found->second : describedByItsName(name.rawValue());
}

Name::Name(std::string rawValue, std::optional<Shortcut> defaultShortcut, std::string description)
    : rawValue_(std::move(rawValue)), defaultShortcut_(defaultShortcut) {
    if (!description.empty()) {
        descriptions()[rawValue_] = std::move(description);
    }
    if (defaultShortcut_ && !internal::userDefaultsContains(*this)) {
        internal::userDefaultsSet(*this, *defaultShortcut_);
    }
    internal::initialize();
}

std::optional<Shortcut> Name::shortcut() const {
    return getShortcut(*this);
}

void Name::setShortcut(const std::optional<Shortcut>& shortcut) const {
    KeyboardShortcuts::setShortcut(shortcut, *this);
}

std::optional<Shortcut> getShortcut(const Name& name) {
    const auto text = store().string(internal::storeKey(name));
    if (!text) {
        return std::nullopt;
    }
    return decodeStored(*text);
}

void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    if (shortcut) {
        internal::userDefaultsSet(name, *shortcut);
        return;
    }
    const auto old = getShortcut(name);
    if (!old) {
        return;
    }
    if (name.defaultShortcut()) {
        store().set(internal::storeKey(name), false);
    } else {
        store().removeObject(internal::storeKey(name));
    }
    internal::unregisterShortcut(*old);
    internal::userDefaultsDidChange(name);
}

void reset(const std::vector<Name>& names) {
    for (const Name& name : names) {
        setShortcut(name.defaultShortcut(), name);
    }
}

void resetAll() {
    const auto names = internal::allNames();
    reset(std::vector<Name>(names.begin(), names.end()));
}

namespace internal {

std::string storeKey(const Name& name) {
    return std::string(storeKeyPrefix) + name.rawValue();
}

void userDefaultsSet(const Name& name, const Shortcut& shortcut) {
    if (const auto old = getShortcut(name)) {
        unregisterShortcut(*old);
    }
    registerShortcut(shortcut, name);
    store().set(storeKey(name), shortcut.toJson());
    userDefaultsDidChange(name);
}

bool userDefaultsContains(const Name& name) {
    return store().object(storeKey(name)).has_value();
}

void userDefaultsDidChange(const Name& name) {
    installedServices().notifications.post(std::string(shortcutByNameDidChange),
                                           {{"name", name.rawValue()}});
}

bool isChangeOf(const platform::Notification& notification, const Name& name) {
    const auto* changed = notification.userInfoValue<std::string>("name");
    return changed != nullptr && *changed == name.rawValue();
}

std::unordered_set<Name> allNames() {
    std::unordered_set<Name> names;
    for (const auto& [key, value] : store().dictionaryRepresentation()) {
        if (key.starts_with(storeKeyPrefix)) {
            names.emplace(key.substr(storeKeyPrefix.size()));
        }
    }
    return names;
}

} // namespace internal
} // namespace KeyboardShortcuts
