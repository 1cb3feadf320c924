#include "platform/linux/FallbackHotKeyService.h"

#include <array>

namespace platform::linux_desktop {
namespace {

constexpr std::array hotKeyEventTypes{
    EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyPressed},
    EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyReleased},
};

} // namespace

FallbackHotKeyService::FallbackHotKeyService(HotKeyService& first) : serving_(&first) {
    forwardEventsOf(first);
}

// Which kinds reach the installed handler is decided here, so the serving service hands on all.
void FallbackHotKeyService::forwardEventsOf(HotKeyService& service) {
    if (const auto handler =
            service.installEventHandler([this](const KeyboardEvent& event) -> std::int32_t {
                deliverToHandler(event);
                return HotKeyStatus::noError;
            })) {
        service.addEventTypes(*handler, hotKeyEventTypes);
    }
}

void FallbackHotKeyService::describeHotKey(HotKeyId id, const HotKeyLabel& label) {
    labels_[id.id] = label;
    serving_->describeHotKey(id, label);
}

HotKeyService::Registration
FallbackHotKeyService::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyId id) {
    const auto labelled = labels_.extract(id.id);
    const Registration registration = serving_->registerHotKey(keyCode, modifiers, id);
    if (!registration.reference) {
        return registration;
    }
    const HotKeyRef reference = takeReference();
    hotKeys_.emplace(reference, HotKey{keyCode, modifiers, id,
                                       labelled ? std::optional(labelled.mapped()) : std::nullopt,
                                       registration.reference});
    return {.status = registration.status, .reference = reference};
}

void FallbackHotKeyService::unregisterHotKey(std::optional<HotKeyRef> reference) {
    const auto found = reference ? hotKeys_.find(*reference) : hotKeys_.end();
    if (found != hotKeys_.end()) {
        serving_->unregisterHotKey(found->second.reference);
        hotKeys_.erase(found);
    }
}

void FallbackHotKeyService::fallBackTo(HotKeyService& other) {
    for (const auto& [reference, hotKey] : hotKeys_) {
        serving_->unregisterHotKey(hotKey.reference);
    }
    serving_ = &other;
    forwardEventsOf(other);
    for (auto& [reference, hotKey] : hotKeys_) {
        if (hotKey.label) {
            other.describeHotKey(hotKey.id, *hotKey.label);
        }
        hotKey.reference =
            other.registerHotKey(hotKey.keyCode, hotKey.modifiers, hotKey.id).reference;
    }
}

} // namespace platform::linux_desktop
