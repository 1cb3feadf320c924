#pragma once

#include <map>
#include <string>
#include <variant>

namespace platform {

// The three value types the preferences store and notification user info carry. A value
// keeps its type exactly: a boolean never reads back as a number.
using PreferenceValue = std::variant<std::string, double, bool>;

using ValueDictionary = std::map<std::string, PreferenceValue, std::less<>>;

} // namespace platform
