#pragma once

#include "platform/PreferenceValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The per-user key-value store. Every assignment is visible to the next read at once and
// survives a restart without an explicit save.
class PreferencesStore {
public:
    PreferencesStore() = default;
    PreferencesStore(const PreferencesStore&) = delete;
    PreferencesStore& operator=(const PreferencesStore&) = delete;
    virtual ~PreferencesStore() = default;

    // Any stored value of one of the three types, or none: tells presence whatever the type.
    [[nodiscard]] virtual std::optional<PreferenceValue> object(std::string_view key) const = 0;
    virtual void set(std::string_view key, PreferenceValue value) = 0;
    virtual void removeObject(std::string_view key) = 0;
    [[nodiscard]] virtual ValueDictionary dictionaryRepresentation() const = 0;

    // The stored string; a number or boolean reads as its decimal text (false reads "0").
    [[nodiscard]] std::optional<std::string> string(std::string_view key) const;
    // The stored number; 0 when absent or of another type.
    [[nodiscard]] double doubleValue(std::string_view key) const;
    // The stored boolean; false when absent or of another type.
    [[nodiscard]] bool boolValue(std::string_view key) const;
};

} // namespace platform
