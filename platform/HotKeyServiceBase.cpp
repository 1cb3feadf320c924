#include "platform/HotKeyServiceBase.h"

namespace platform {

std::optional<HotKeyRef> HotKeyServiceBase::installEventHandler(Handler handler) {
    handler_ = std::move(handler);
    handlerReference_ = takeReference();
    kinds_.clear();
    return handlerReference_;
}

void HotKeyServiceBase::addEventTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) {
    for (const std::uint32_t kind : keyboardKinds(handler, types)) {
        kinds_.insert(kind);
    }
}

void HotKeyServiceBase::removeEventTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) {
    for (const std::uint32_t kind : keyboardKinds(handler, types)) {
        kinds_.erase(kind);
    }
}

std::vector<std::uint32_t>
HotKeyServiceBase::keyboardKinds(HotKeyRef handler, std::span<const EventTypeSpec> types) const {
    std::vector<std::uint32_t> kinds;
    for (const EventTypeSpec& type : types) {
        if (handler == handlerReference_ && type.eventClass == keyboardEventClass) {
            kinds.push_back(type.eventKind);
        }
    }
    return kinds;
}

void HotKeyServiceBase::deliverToHandler(const KeyboardEvent& event) const {
    if (handler_ && kinds_.contains(event.kind)) {
        const Handler handler = handler_;
        handler(event);
    }
}

} // namespace platform
