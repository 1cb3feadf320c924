#pragma once

#include "platform/PreferenceValue.h"

#include <QByteArray>
#include <QJsonObject>
#include <string>
#include <variant>

namespace platform::linux_desktop {

// The preferences file: one JSON object whose members are the keys. Strings, numbers and
// booleans are the store's three value types (every number a double). Members of other kinds
// (null, arrays, objects) are kept apart, so that writing the file back keeps them.
struct PreferencesDocument {
    ValueDictionary values;
    QJsonObject otherMembers;
};

// Why a file is no preferences document, e.g. "not valid JSON: illegal value at byte 12".
struct PreferencesJsonError {
    std::string reason;
};

// Standard JSON, after an optional UTF-8 byte order mark. Of duplicate members the last counts.
[[nodiscard]] std::variant<PreferencesDocument, PreferencesJsonError>
parsePreferencesJson(const QByteArray& bytes);

// One member a line, in key order. Every finite double reads back bit for bit, except that -0
// reads back as 0; JSON has no non-finite numbers, so the document must hold none.
[[nodiscard]] QByteArray toPreferencesJson(const PreferencesDocument& document);

} // namespace platform::linux_desktop
