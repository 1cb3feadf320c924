#pragma once

#include "platform/PreferencesStore.h"

#include <string>
#include <utility>
#include <vector>

namespace test_support {

// An in-memory store that records every assignment.
class FakePreferencesStore final : public platform::PreferencesStore {
public:
    [[nodiscard]] std::optional<platform::PreferenceValue>
    object(std::string_view key) const override;
    void set(std::string_view key, platform::PreferenceValue value) override;
    void removeObject(std::string_view key) override;
    [[nodiscard]] platform::ValueDictionary dictionaryRepresentation() const override;

    // Every set(), in order.
    std::vector<std::pair<std::string, platform::PreferenceValue>> writes;

private:
    platform::ValueDictionary values_;
};

} // namespace test_support
