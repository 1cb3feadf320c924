#pragma once

#include "platform/HotKeyService.h"

#include <optional>
#include <set>
#include <span>
#include <vector>

namespace platform {

// What every hot-key service keeps alike: its one event handler and the kinds of keyboard events
// that handler asked for, and the references it hands out. Installing replaces the handler and
// forgets the kinds, which only the current handler's reference adds or removes.
class HotKeyServiceBase : public HotKeyService {
public:
    std::optional<HotKeyRef> installEventHandler(Handler handler) override;
    void addEventTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) override;
    void removeEventTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) override;

protected:
    // A reference that no handler or hot key of this service has had.
    HotKeyRef takeReference() { return nextReference_++; }
    // Calls a copy of the handler, which may install, register or unregister while it runs;
    // nothing when the event's kind was not asked for.
    void deliverToHandler(const KeyboardEvent& event) const;

private:
    // The kinds of keyboard events among the types, if the handler is the current one.
    [[nodiscard]] std::vector<std::uint32_t>
    keyboardKinds(HotKeyRef handler, std::span<const EventTypeSpec> types) const;

    Handler handler_;
    std::optional<HotKeyRef> handlerReference_;
    std::set<std::uint32_t> kinds_;
    HotKeyRef nextReference_ = 1;
};

} // namespace platform
