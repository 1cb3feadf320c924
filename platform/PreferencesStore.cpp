#include "platform/PreferencesStore.h"

#include <charconv>

namespace platform {
namespace {

std::string decimalText(double number) {
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), number);
    return {std::begin(buffer), result.ptr};
}

struct StringReading {
    std::string operator()(const std::string& text) const { return text; }
    std::string operator()(double number) const { return decimalText(number); }
    std::string operator()(bool flag) const { return flag ? "1" : "0"; }
};

template <typename T> std::optional<T> typed(const std::optional<PreferenceValue>& value) {
    if (value && std::holds_alternative<T>(*value)) {
        return std::get<T>(*value);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> PreferencesStore::string(std::string_view key) const {
    const auto value = object(key);
    if (!value) {
        return std::nullopt;
    }
    return std::visit(StringReading{}, *value);
}

double PreferencesStore::doubleValue(std::string_view key) const {
    return typed<double>(object(key)).value_or(0.0);
}

bool PreferencesStore::boolValue(std::string_view key) const {
    return typed<bool>(object(key)).value_or(false);
}

} // namespace platform
