#pragma once

#include "platform/HotKeyService.h"

#include <optional>
#include <set>
#include <span>
#include <vector>

namespace platform {

// The one event handler of a hot-key service and the kinds of keyboard events it asked for, kept
// alike by every implementation: installing replaces the handler and forgets the kinds, which only
// the current handler's reference adds or removes.
class HotKeyEventHandler {
public:
    void install(HotKeyService::Handler handler, HotKeyRef reference);
    void addTypes(HotKeyRef handler, std::span<const EventTypeSpec> types);
    void removeTypes(HotKeyRef handler, std::span<const EventTypeSpec> types);
    // Calls a copy of the handler, which may install, register or unregister while it runs;
    // nothing when the event's kind was not asked for.
    void deliver(const KeyboardEvent& event) const;

private:
    // The kinds of keyboard events among the types, if the handler is the current one.
    [[nodiscard]] std::vector<std::uint32_t>
    keyboardKinds(HotKeyRef handler, std::span<const EventTypeSpec> types) const;

    HotKeyService::Handler handler_;
    std::optional<HotKeyRef> reference_;
    std::set<std::uint32_t> kinds_;
};

} // namespace platform
