#pragma once

#include "platform/PreferencesStore.h"

#include <string>
#include <utility>
#include <vector>

namespace test_support {

// The store's values in memory, and every assignment in order.
class FakePreferencesStore final : public platform::PreferencesStore {
public:
    [[nodiscard]] std::optional<platform::PreferenceValue>
    object(std::string_view key) const override {
        const auto found = values_.find(key);
        return found == values_.end() ? std::nullopt : std::optional(found->second);
    }
    void set(std::string_view key, platform::PreferenceValue value) override {
        writes.emplace_back(key, value);
        values_.insert_or_assign(std::string(key), std::move(value));
    }
    void removeObject(std::string_view key) override { values_.erase(std::string(key)); }
    [[nodiscard]] platform::ValueDictionary dictionaryRepresentation() const override {
        return values_;
    }

    // Every set(), in order.
    std::vector<std::pair<std::string, platform::PreferenceValue>> writes;

private:
    platform::ValueDictionary values_;
};

} // namespace test_support
