#pragma once

#include "platform/HotKeyServiceBase.h"

#include <algorithm>
#include <map>
#include <vector>

namespace test_support {

// Registrations in memory: tests refuse chosen combinations, press and release registered ones
// (delivered through the event handler that the real services share).
class FakeHotKeyService final : public platform::HotKeyServiceBase {
public:
    struct HotKey {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        platform::HotKeyId id;
        platform::HotKeyRef reference;
        platform::HotKeyLabel label;
    };

    void describeHotKey(platform::HotKeyId id, const platform::HotKeyLabel& label) override {
        labels_[id.id] = label;
    }
    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                platform::HotKeyId id) override {
        const auto labelled = labels_.extract(id.id);
        if (const auto failure = failures_.find({keyCode, modifiers});
            failure != failures_.end() && failure->second != platform::HotKeyStatus::noError) {
            return {.status = failure->second, .reference = std::nullopt};
        }
        const platform::HotKeyRef reference = takeReference();
        registered_.push_back({keyCode, modifiers, id, reference,
                               labelled ? labelled.mapped() : platform::HotKeyLabel{}});
        return {.status = platform::HotKeyStatus::noError, .reference = reference};
    }
    void unregisterHotKey(std::optional<platform::HotKeyRef> reference) override {
        std::erase_if(registered_,
                      [&](const HotKey& hotKey) { return hotKey.reference == reference; });
    }

    // From now on, registering the combination fails with the status; noError lets it register.
    void failRegistration(std::uint32_t keyCode, std::uint32_t modifiers, std::int32_t status) {
        failures_[{keyCode, modifiers}] = status;
    }
    // Nothing when the combination is not registered.
    void press(std::uint32_t keyCode, std::uint32_t modifiers) {
        deliver(platform::KeyboardEventKind::hotKeyPressed, keyCode, modifiers);
    }
    void release(std::uint32_t keyCode, std::uint32_t modifiers) {
        deliver(platform::KeyboardEventKind::hotKeyReleased, keyCode, modifiers);
    }

    [[nodiscard]] const std::vector<HotKey>& registered() const { return registered_; }
    [[nodiscard]] bool isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const {
        return find(keyCode, modifiers) != registered_.end();
    }

private:
    std::vector<HotKey>::const_iterator find(std::uint32_t keyCode, std::uint32_t modifiers) const {
        return std::ranges::find_if(registered_, [&](const HotKey& hotKey) {
            return hotKey.keyCode == keyCode && hotKey.modifiers == modifiers;
        });
    }
    void deliver(std::uint32_t kind, std::uint32_t keyCode, std::uint32_t modifiers) {
        if (const auto hotKey = find(keyCode, modifiers); hotKey != registered_.end()) {
            deliverToHandler(
                {.kind = kind, .hotKeyId = hotKey->id, .keyCode = keyCode, .modifiers = modifiers});
        }
    }

    std::vector<HotKey> registered_;
    std::map<std::uint32_t, platform::HotKeyLabel> labels_;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::int32_t> failures_;
};

} // namespace test_support
