#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace platform {

// Statuses of the hot-key service, numbered as the shortcut library expects them.
namespace HotKeyStatus {
inline constexpr std::int32_t noError = 0;
inline constexpr std::int32_t eventNotHandled = -9874;
// Another client already holds the key combination.
inline constexpr std::int32_t hotKeyExists = -9878;
// The key or a modifier cannot be expressed on this display (no such key, the function key).
inline constexpr std::int32_t hotKeyInvalid = -9879;
} // namespace HotKeyStatus

// Modifier bits of a key combination, as registered and as raw key events carry them.
namespace HotKeyModifier {
inline constexpr std::uint32_t command = 0x100;
inline constexpr std::uint32_t shift = 0x200;
// Caps Lock: a lock, never part of what a hot key matches.
inline constexpr std::uint32_t capsLock = 0x400;
inline constexpr std::uint32_t option = 0x800;
inline constexpr std::uint32_t control = 0x1000;
inline constexpr std::uint32_t function = 0x20000;
} // namespace HotKeyModifier

// The keyboard event class and the kinds of keyboard events.
inline constexpr std::uint32_t keyboardEventClass = 0x6B657962; // 'keyb'
namespace KeyboardEventKind {
inline constexpr std::uint32_t rawKeyDown = 1;
inline constexpr std::uint32_t rawKeyUp = 3;
inline constexpr std::uint32_t hotKeyPressed = 5;
inline constexpr std::uint32_t hotKeyReleased = 6;
} // namespace KeyboardEventKind

struct EventTypeSpec {
    std::uint32_t eventClass;
    std::uint32_t eventKind;

    friend bool operator==(const EventTypeSpec&, const EventTypeSpec&) = default;
};

struct HotKeyId {
    std::uint32_t signature;
    std::uint32_t id;

    friend bool operator==(const HotKeyId&, const HotKeyId&) = default;
};

// What the installed handler receives: a hot key pressed or released, with its id, or a raw
// key down or up, with its virtual key code and hot-key modifier bits.
struct KeyboardEvent {
    std::uint32_t kind = 0;
    HotKeyId hotKeyId{};
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    // The X server time of the event, for handing on to focus requests; 0 when unknown.
    std::uint32_t timestamp = 0;
};

// What a desktop may show of a hot key in its own shortcut settings: a name that stays the same
// across runs, under which the desktop keeps the keys a user chose, and a description.
struct HotKeyLabel {
    std::string name;
    std::string description;
};

// An opaque reference to a registration or to the installed handler; never 0.
using HotKeyRef = std::uint64_t;

// The system-wide hot-key service: key combinations that reach the application whichever
// application is in front.
class HotKeyService {
public:
    using Handler = std::function<std::int32_t(const KeyboardEvent&)>;

    struct Registration {
        std::int32_t status = HotKeyStatus::noError;
        std::optional<HotKeyRef> reference;
    };

    HotKeyService() = default;
    HotKeyService(const HotKeyService&) = delete;
    HotKeyService& operator=(const HotKeyService&) = delete;
    virtual ~HotKeyService() = default;

    // Key code and modifier bits in the shortcut encoding (virtual key code, hot-key bits).
    virtual Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                        HotKeyId id) = 0;
    // Labels the hot key that is registered under the id next. Services that show the desktop
    // nothing of their hot keys ignore it.
    virtual void describeHotKey(HotKeyId /*id*/, const HotKeyLabel& /*label*/) {}
    // Releases the combination; an empty reference is ignored.
    virtual void unregisterHotKey(std::optional<HotKeyRef> reference) = 0;
    // The one handler; it receives only the event types added to it afterwards. None on failure.
    virtual std::optional<HotKeyRef> installEventHandler(Handler handler) = 0;
    // Adding a type already present or removing one that is not is harmless.
    virtual void addEventTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) = 0;
    virtual void removeEventTypes(HotKeyRef handler, std::span<const EventTypeSpec> types) = 0;
};

} // namespace platform
