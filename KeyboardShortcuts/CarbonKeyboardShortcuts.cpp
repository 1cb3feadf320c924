#include "KeyboardShortcuts/CarbonKeyboardShortcuts.h"

#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/LocalEventMonitor.h"
#include "KeyboardShortcuts/ModifierFlags.h"
#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/internal/DispatchState.h"
#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "KeyboardShortcuts/internal/Testing.h"

#include <array>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace KeyboardShortcuts::CarbonKeyboardShortcuts {
namespace {

using platform::HotKeyRef;
using platform::HotKeyStatus::eventNotHandled;
using platform::HotKeyStatus::hotKeyInvalid;
using platform::HotKeyStatus::noError;
namespace Kind = platform::KeyboardEventKind;

struct HotKey {
    const Shortcut shortcut;
    const std::int64_t carbonHotKeyId;
    std::optional<HotKeyRef> carbonHotKey;
    const Callback onKeyDown;
    const Callback onKeyUp;
    const platform::HotKeyLabel label;
};

constexpr std::array hotKeyEventTypes{
    platform::EventTypeSpec{platform::keyboardEventClass, Kind::hotKeyPressed},
    platform::EventTypeSpec{platform::keyboardEventClass, Kind::hotKeyReleased},
};
constexpr std::array rawKeyEventTypes{
    platform::EventTypeSpec{platform::keyboardEventClass, Kind::rawKeyDown},
    platform::EventTypeSpec{platform::keyboardEventClass, Kind::rawKeyUp},
};

// The platform's older behaviour delivered raw keys to the handler while a menu was open; the
// newer one, which every Linux desktop gets, hands them to the menu monitor.
bool rawKeysComeThroughTheMonitor() {
    return true;
}

std::optional<platform::KeyboardEvent> rawKeyEvent(const platform::Event& event) {
    if (event.type != platform::EventType::keyDown && event.type != platform::EventType::keyUp) {
        return std::nullopt;
    }
    return platform::KeyboardEvent{
        .kind = event.type == platform::EventType::keyDown ? Kind::rawKeyDown : Kind::rawKeyUp,
        .keyCode = event.keyCode,
        .modifiers = static_cast<std::uint32_t>(carbon(event.modifierFlags))};
}

struct PressedRawKey {
    std::uint32_t keyCode;
    std::int64_t carbonHotKeyId;
};

// Entries are shared so that one whose callback is running outlives its removal meanwhile.
struct State {
    std::map<std::int64_t, std::shared_ptr<HotKey>> hotKeys;
    std::int64_t hotKeyId = 0;
    std::optional<HotKeyRef> eventHandler;
    std::unique_ptr<RunLoopLocalEventMonitor> keyEventMonitor;
    // The raw key press that matched an entry, until its release.
    std::optional<PressedRawKey> pressedRawKey;

    RunLoopLocalEventMonitor& monitor();
};

State& state() {
    static State instance;
    return instance;
}

// Swallows the key events of registered shortcuts while a menu holds the keyboard. A held key
// repeats as releases and presses marked as repeats: those of the matched key are swallowed
// without calling it again, so that holding it gives one press and one release.
std::optional<platform::Event> matchWhileMenuIsOpen(const platform::Event& event) {
    const auto raw = rawKeyEvent(event);
    if (!raw) {
        return event;
    }
    const auto& pressed = state().pressedRawKey;
    const bool swallowed = event.isARepeat ? pressed && pressed->keyCode == raw->keyCode
                                           : handleRawKeyEvent(*raw) == noError;
    return swallowed ? std::nullopt : std::optional(event);
}

RunLoopLocalEventMonitor& State::monitor() {
    if (!keyEventMonitor) {
        keyEventMonitor = std::make_unique<RunLoopLocalEventMonitor>(
            eventMask(platform::EventType::keyDown) | eventMask(platform::EventType::keyUp),
            matchWhileMenuIsOpen);
    }
    return *keyEventMonitor;
}

platform::HotKeyService& service() {
    return internal::installedServices().hotKeys;
}

bool fitsIn32Bits(std::int64_t value) {
    return value >= 0 && value <= std::numeric_limits<std::uint32_t>::max();
}

// A value edited into the store by hand can lie outside what the service takes; such a hot
// key is refused as one the display cannot express rather than truncated into another one.
platform::HotKeyService::Registration registerWithService(const Shortcut& shortcut, std::int64_t id,
                                                          const platform::HotKeyLabel& label) {
    if (!fitsIn32Bits(shortcut.carbonKeyCode()) || !fitsIn32Bits(shortcut.carbonModifiers()) ||
        !fitsIn32Bits(id)) {
        return {.status = hotKeyInvalid, .reference = std::nullopt};
    }
    const platform::HotKeyId hotKeyId{hotKeySignature, static_cast<std::uint32_t>(id)};
    if (!label.name.empty()) {
        service().describeHotKey(hotKeyId, label);
    }
    return service().registerHotKey(static_cast<std::uint32_t>(shortcut.carbonKeyCode()),
                                    static_cast<std::uint32_t>(shortcut.carbonModifiers()),
                                    hotKeyId);
}

bool succeeded(const platform::HotKeyService::Registration& registration) {
    return registration.status == noError && registration.reference.has_value();
}

void reportRegistrationError(const Shortcut& shortcut, std::int32_t status) {
    const std::string line = "Error registering hotkey " + presentableDescription(shortcut) + ": " +
                             std::to_string(status) + "\n";
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

void installEventHandlerOnce() {
    if (state().eventHandler) {
        return;
    }
    const auto handler = service().installEventHandler(carbonKeyboardShortcutsEventHandler);
    if (!handler) {
        return; // the next registration tries again
    }
    state().eventHandler = handler;
    updateEventHandler();
}

void releaseAll() {
    for (const auto& [id, hotKey] : state().hotKeys) {
        service().unregisterHotKey(hotKey->carbonHotKey);
        hotKey->carbonHotKey.reset();
    }
}

// A press whose release the menu did not see is forgotten with the menu.
void stopRawKeys(HotKeyRef handler) {
    if (rawKeysComeThroughTheMonitor()) {
        state().monitor().stop();
    } else {
        service().removeEventTypes(handler, rawKeyEventTypes);
    }
    state().pressedRawKey.reset();
}

void enterNormalMode(HotKeyRef handler) {
    softRegisterAll();
    stopRawKeys(handler);
    service().addEventTypes(handler, hotKeyEventTypes);
}

void enterMenuMode(HotKeyRef handler) {
    releaseAll();
    service().removeEventTypes(handler, hotKeyEventTypes);
    if (rawKeysComeThroughTheMonitor()) {
        state().monitor().start();
    } else {
        service().addEventTypes(handler, rawKeyEventTypes);
    }
}

void enterDisabledMode(HotKeyRef handler) {
    releaseAll();
    service().removeEventTypes(handler, hotKeyEventTypes);
    stopRawKeys(handler);
}

std::int32_t callForKind(const HotKey& hotKey, std::uint32_t kind, std::uint32_t downKind,
                         std::uint32_t upKind) {
    if (kind == downKind) {
        hotKey.onKeyDown(hotKey.shortcut);
    } else if (kind == upKind) {
        hotKey.onKeyUp(hotKey.shortcut);
    } else {
        return eventNotHandled;
    }
    return noError;
}

// A release belongs to the entry whose press matched, whatever modifiers were let go first;
// any other raw key matches by key code and modifiers, locks left out.
std::shared_ptr<HotKey> matchRawKey(const platform::KeyboardEvent& event) {
    const auto& pressed = state().pressedRawKey;
    if (event.kind == Kind::rawKeyUp && pressed && pressed->keyCode == event.keyCode) {
        const auto found = state().hotKeys.find(pressed->carbonHotKeyId);
        return found != state().hotKeys.end() ? found->second : nullptr;
    }
    const std::int64_t modifiers = carbon(modifierFlagsFromCarbon(event.modifiers));
    for (const auto& [id, hotKey] : state().hotKeys) {
        if (hotKey->shortcut.carbonKeyCode() == event.keyCode &&
            hotKey->shortcut.carbonModifiers() == modifiers) {
            return hotKey;
        }
    }
    return nullptr;
}

} // namespace

void register_(const Shortcut& shortcut, Callback onKeyDown, Callback onKeyUp,
               const platform::HotKeyLabel& label) {
    const std::int64_t id = ++state().hotKeyId;
    const auto registration = registerWithService(shortcut, id, label);
    if (!succeeded(registration)) {
        reportRegistrationError(shortcut, registration.status);
        return;
    }
    state().hotKeys.emplace(
        id, std::make_shared<HotKey>(HotKey{shortcut, id, registration.reference,
                                            std::move(onKeyDown), std::move(onKeyUp), label}));
    installEventHandlerOnce();
}

void unregister(const Shortcut& shortcut) {
    const auto snapshot = state().hotKeys;
    for (const auto& [id, hotKey] : snapshot) {
        if (hotKey->shortcut == shortcut) {
            service().unregisterHotKey(hotKey->carbonHotKey);
            state().hotKeys.erase(id);
        }
    }
    // The key's later releases and repeats match anew.
    const auto& pressed = state().pressedRawKey;
    if (pressed && !state().hotKeys.contains(pressed->carbonHotKeyId)) {
        state().pressedRawKey.reset();
    }
}

void updateEventHandler() {
    const auto handler = state().eventHandler;
    if (!handler) {
        return;
    }
    if (!isEnabled()) {
        enterDisabledMode(*handler);
    } else if (internal::isMenuOpen()) {
        enterMenuMode(*handler);
    } else {
        enterNormalMode(*handler);
    }
}

void softRegisterAll() {
    const auto snapshot = state().hotKeys;
    for (const auto& [id, hotKey] : snapshot) {
        if (hotKey->carbonHotKey) {
            continue;
        }
        const auto registration = registerWithService(hotKey->shortcut, id, hotKey->label);
        if (succeeded(registration)) {
            hotKey->carbonHotKey = registration.reference;
        } else {
            reportRegistrationError(hotKey->shortcut, registration.status);
            state().hotKeys.erase(id);
        }
    }
}

std::int32_t carbonKeyboardShortcutsEventHandler(const platform::KeyboardEvent& event) {
    switch (event.kind) {
    case Kind::hotKeyPressed:
    case Kind::hotKeyReleased:
        return handleHotKeyEvent(event);
    case Kind::rawKeyDown:
    case Kind::rawKeyUp:
        return handleRawKeyEvent(event);
    default:
        return eventNotHandled;
    }
}

std::int32_t handleHotKeyEvent(const platform::KeyboardEvent& event) {
    if (event.hotKeyId.signature != hotKeySignature) {
        return eventNotHandled;
    }
    const auto found = state().hotKeys.find(event.hotKeyId.id);
    if (found == state().hotKeys.end()) {
        return eventNotHandled;
    }
    const std::shared_ptr<HotKey> hotKey = found->second;
    return callForKind(*hotKey, event.kind, Kind::hotKeyPressed, Kind::hotKeyReleased);
}

std::int32_t handleRawKeyEvent(const platform::KeyboardEvent& event) {
    const auto match = matchRawKey(event);
    if (!match) {
        return eventNotHandled;
    }
    const std::int32_t status = callForKind(*match, event.kind, Kind::rawKeyDown, Kind::rawKeyUp);
    if (status == noError) {
        if (event.kind == Kind::rawKeyDown) {
            state().pressedRawKey = PressedRawKey{event.keyCode, match->carbonHotKeyId};
        } else {
            state().pressedRawKey.reset();
        }
    }
    return status;
}

} // namespace KeyboardShortcuts::CarbonKeyboardShortcuts

namespace KeyboardShortcuts::internal {

void resetCarbonKeyboardShortcuts() {
    CarbonKeyboardShortcuts::state() = {};
}

std::size_t hotKeyCount() {
    return CarbonKeyboardShortcuts::state().hotKeys.size();
}

} // namespace KeyboardShortcuts::internal
