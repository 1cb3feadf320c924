#include "tests/support/FakeHotKeyService.h"

#include <algorithm>

namespace test_support {

using platform::HotKeyStatus::hotKeyExists;
using platform::HotKeyStatus::noError;

platform::HotKeyService::Registration FakeHotKeyService::registerHotKey(std::uint32_t keyCode,
                                                                        std::uint32_t modifiers,
                                                                        platform::HotKeyId id) {
    registrationAttempts_.push_back(id);
    if (const auto failure = failures_.find({keyCode, modifiers}); failure != failures_.end()) {
        return {.status = failure->second, .reference = std::nullopt};
    }
    if (find(keyCode, modifiers) != nullptr) {
        return {.status = hotKeyExists, .reference = std::nullopt};
    }
    const platform::HotKeyRef reference = nextReference_++;
    registered_.push_back({keyCode, modifiers, id, reference});
    return {.status = noError, .reference = reference};
}

void FakeHotKeyService::unregisterHotKey(std::optional<platform::HotKeyRef> reference) {
    std::erase_if(registered_, [&](const HotKey& hotKey) { return hotKey.reference == reference; });
}

std::optional<platform::HotKeyRef> FakeHotKeyService::installEventHandler(Handler handler) {
    if (failHandlerInstallation_) {
        return std::nullopt;
    }
    ++handlerInstallations_;
    handler_ = std::move(handler);
    eventTypes_.clear();
    handlerReference_ = nextReference_++;
    return handlerReference_;
}

void FakeHotKeyService::addEventTypes(platform::HotKeyRef handler,
                                      std::span<const platform::EventTypeSpec> types) {
    if (!isHandler(handler)) {
        return;
    }
    for (const auto& type : types) {
        eventTypes_.insert({type.eventClass, type.eventKind});
    }
}

void FakeHotKeyService::removeEventTypes(platform::HotKeyRef handler,
                                         std::span<const platform::EventTypeSpec> types) {
    if (!isHandler(handler)) {
        return;
    }
    for (const auto& type : types) {
        eventTypes_.erase({type.eventClass, type.eventKind});
    }
}

void FakeHotKeyService::failRegistration(std::uint32_t keyCode, std::uint32_t modifiers,
                                         std::int32_t status) {
    failures_[{keyCode, modifiers}] = status;
}

std::optional<std::int32_t> FakeHotKeyService::deliver(platform::KeyboardEvent event) {
    if (!handlerReference_ || !hasEventType(event.kind)) {
        return std::nullopt;
    }
    if (event.timestamp == 0) {
        event.timestamp = lastTimestamp_ + 1;
    }
    lastTimestamp_ = std::max(lastTimestamp_, event.timestamp);
    // The handler may install another one or change the types while it runs.
    const Handler handler = handler_;
    return handler(event);
}

std::optional<std::int32_t> FakeHotKeyService::press(std::uint32_t keyCode,
                                                     std::uint32_t modifiers) {
    return deliverHotKey(platform::KeyboardEventKind::hotKeyPressed, keyCode, modifiers);
}

std::optional<std::int32_t> FakeHotKeyService::release(std::uint32_t keyCode,
                                                       std::uint32_t modifiers) {
    return deliverHotKey(platform::KeyboardEventKind::hotKeyReleased, keyCode, modifiers);
}

std::optional<std::int32_t> FakeHotKeyService::rawKeyDown(std::uint32_t keyCode,
                                                          std::uint32_t modifiers) {
    return deliver({.kind = platform::KeyboardEventKind::rawKeyDown,
                    .keyCode = keyCode,
                    .modifiers = modifiers});
}

std::optional<std::int32_t> FakeHotKeyService::rawKeyUp(std::uint32_t keyCode,
                                                        std::uint32_t modifiers) {
    return deliver({.kind = platform::KeyboardEventKind::rawKeyUp,
                    .keyCode = keyCode,
                    .modifiers = modifiers});
}

bool FakeHotKeyService::isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const {
    return find(keyCode, modifiers) != nullptr;
}

std::optional<platform::HotKeyId> FakeHotKeyService::idOf(std::uint32_t keyCode,
                                                          std::uint32_t modifiers) const {
    const HotKey* hotKey = find(keyCode, modifiers);
    return hotKey != nullptr ? std::optional(hotKey->id) : std::nullopt;
}

bool FakeHotKeyService::hasEventType(std::uint32_t kind) const {
    return eventTypes_.contains({platform::keyboardEventClass, kind});
}

const FakeHotKeyService::HotKey* FakeHotKeyService::find(std::uint32_t keyCode,
                                                         std::uint32_t modifiers) const {
    const auto found = std::ranges::find_if(registered_, [&](const HotKey& hotKey) {
        return hotKey.keyCode == keyCode && hotKey.modifiers == modifiers;
    });
    return found != registered_.end() ? &*found : nullptr;
}

std::optional<std::int32_t> FakeHotKeyService::deliverHotKey(std::uint32_t kind,
                                                             std::uint32_t keyCode,
                                                             std::uint32_t modifiers) {
    const HotKey* hotKey = find(keyCode, modifiers);
    if (hotKey == nullptr) {
        return std::nullopt;
    }
    return deliver(
        {.kind = kind, .hotKeyId = hotKey->id, .keyCode = keyCode, .modifiers = modifiers});
}

bool FakeHotKeyService::isHandler(platform::HotKeyRef reference) const {
    return handlerReference_ == reference;
}

} // namespace test_support
