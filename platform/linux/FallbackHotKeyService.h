#pragma once

#include "platform/HotKeyServiceBase.h"

#include <map>

namespace platform::linux_desktop {

// Registers with one service until that one gives up, then with another: what the first holds
// moves over, under the references handed out already, and the events of either reach the one
// handler installed here. For a desktop service whose failure is only known later, as the
// portal's.
class FallbackHotKeyService final : public HotKeyServiceBase {
public:
    explicit FallbackHotKeyService(HotKeyService& first);

    void describeHotKey(HotKeyId id, const HotKeyLabel& label) override;
    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                HotKeyId id) override;
    void unregisterHotKey(std::optional<HotKeyRef> reference) override;

    // From now on the other service serves; it lives as long as this one.
    void fallBackTo(HotKeyService& other);

private:
    struct HotKey {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        HotKeyId id;
        std::optional<HotKeyLabel> label;
        std::optional<HotKeyRef> reference; // the serving service's
    };

    void forwardEventsOf(HotKeyService& service);

    HotKeyService* serving_;
    std::map<HotKeyRef, HotKey> hotKeys_;
    std::map<std::uint32_t, HotKeyLabel> labels_; // for the next registration under an id
};

} // namespace platform::linux_desktop
