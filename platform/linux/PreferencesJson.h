#pragma once

#include "platform/PreferenceValue.h"

#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace platform::linux_desktop {

// The preferences file: one JSON object whose members are the keys. Strings, numbers and
// booleans are the store's three value types (every number a double). A member of any other
// kind (null, an array, an object, a number no double can hold) keeps its JSON text verbatim,
// so that writing the file back never changes it.
struct PreferencesDocument {
    ValueDictionary values;
    std::map<std::string, std::string, std::less<>> foreignMembers;
};

// The reason a text is no preferences document, e.g. "not valid JSON: expected ':' at byte 12".
struct PreferencesJsonError {
    std::string reason;
};

// Strict JSON, with three liberties: a leading byte order mark; bytes of strings are taken as
// they stand, valid UTF-8 or not; and the tokens NaN, Infinity and -Infinity, which no JSON
// number can express, read as doubles. Of duplicate members the last one counts.
[[nodiscard]] std::variant<PreferencesDocument, PreferencesJsonError>
parsePreferencesJson(std::string_view text);

// One member a line, in key order, with the values of the store first. Doubles read back bit for
// bit; non-finite ones are written as NaN, Infinity or -Infinity.
[[nodiscard]] std::string toPreferencesJson(const PreferencesDocument& document);

} // namespace platform::linux_desktop
