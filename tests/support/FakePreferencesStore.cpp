#include "tests/support/FakePreferencesStore.h"

namespace test_support {

std::optional<platform::PreferenceValue> FakePreferencesStore::object(std::string_view key) const {
    const auto found = values_.find(key);
    return found == values_.end() ? std::nullopt : std::optional(found->second);
}

void FakePreferencesStore::set(std::string_view key, platform::PreferenceValue value) {
    writes.emplace_back(std::string(key), value);
    values_.insert_or_assign(std::string(key), std::move(value));
}

void FakePreferencesStore::removeObject(std::string_view key) {
    if (const auto found = values_.find(key); found != values_.end()) {
        values_.erase(found);
    }
}

platform::ValueDictionary FakePreferencesStore::dictionaryRepresentation() const {
    return values_;
}

} // namespace test_support
