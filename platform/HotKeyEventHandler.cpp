#include "platform/HotKeyEventHandler.h"

namespace platform {

void HotKeyEventHandler::install(HotKeyService::Handler handler, HotKeyRef reference) {
    handler_ = std::move(handler);
    reference_ = reference;
    kinds_.clear();
}

void HotKeyEventHandler::addTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) {
    for (const std::uint32_t kind : keyboardKinds(handler, types)) {
        kinds_.insert(kind);
    }
}

void HotKeyEventHandler::removeTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) {
    for (const std::uint32_t kind : keyboardKinds(handler, types)) {
        kinds_.erase(kind);
    }
}

std::vector<std::uint32_t>
HotKeyEventHandler::keyboardKinds(HotKeyRef handler, std::span<const EventTypeSpec> types) const {
    std::vector<std::uint32_t> kinds;
    for (const EventTypeSpec& type : types) {
        if (handler == reference_ && type.eventClass == keyboardEventClass) {
            kinds.push_back(type.eventKind);
        }
    }
    return kinds;
}

void HotKeyEventHandler::deliver(const KeyboardEvent& event) const {
    if (handler_ && kinds_.contains(event.kind)) {
        const HotKeyService::Handler handler = handler_;
        handler(event);
    }
}

} // namespace platform
