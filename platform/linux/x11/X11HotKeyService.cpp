#include "platform/linux/x11/X11HotKeyService.h"

#include "platform/linux/x11/X11UserTime.h"
#include "platform/linux/x11/XcbPointer.h"

#include <algorithm>
#include <stdexcept>
#include <xcb/xcb.h>
#define explicit explicit_ // xkb.h names a member after the C++ keyword
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon-x11.h>

namespace platform::linux_desktop {

namespace {

// The core protocol's modifier bits; everything above them is pointer buttons and groups.
constexpr std::uint16_t coreModifierBits = 0xFF;
constexpr std::size_t firstModN = 3; // Shift, Lock and Control come first
constexpr std::uint32_t registrableModifiers = HotKeyModifier::command | HotKeyModifier::shift |
                                               HotKeyModifier::capsLock | HotKeyModifier::option |
                                               HotKeyModifier::control;

constexpr std::uint16_t keyboardMapParts =
    XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
    XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
    XCB_XKB_MAP_PART_KEY_BEHAVIORS | XCB_XKB_MAP_PART_VIRTUAL_MODS |
    XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
constexpr std::uint16_t keyboardChangeEvents =
    XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;

std::vector<std::uint32_t> rootWindows(xcb_connection_t* connection) {
    std::vector<std::uint32_t> roots;
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection)); screen.rem > 0;
         xcb_screen_next(&screen)) {
        roots.push_back(screen.data->root);
    }
    return roots;
}

// The keysyms of every key, all columns.
class KeyboardMapping {
public:
    explicit KeyboardMapping(xcb_connection_t* connection) {
        const xcb_setup_t* setup = xcb_get_setup(connection);
        firstKeycode_ = setup->min_keycode;
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        reply_ = xcbOwned(xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, firstKeycode_, count), nullptr));
    }

    [[nodiscard]] std::span<const xcb_keysym_t> keysyms(xcb_keycode_t keycode) const {
        if (!reply_ || keycode < firstKeycode_) {
            return {};
        }
        const std::span all(
            xcb_get_keyboard_mapping_keysyms(reply_.get()),
            static_cast<std::size_t>(xcb_get_keyboard_mapping_keysyms_length(reply_.get())));
        const std::size_t columns = reply_->keysyms_per_keycode;
        const std::size_t offset = static_cast<std::size_t>(keycode - firstKeycode_) * columns;
        return offset + columns <= all.size() ? all.subspan(offset, columns)
                                              : std::span<const xcb_keysym_t>{};
    }

private:
    xcb_keycode_t firstKeycode_ = 0;
    XcbPointer<xcb_get_keyboard_mapping_reply_t> reply_;
};

bool carriesAny(const KeyboardMapping& mapping, std::span<const xcb_keycode_t> keycodes,
                std::initializer_list<xcb_keysym_t> wanted) {
    return std::ranges::any_of(keycodes, [&](xcb_keycode_t keycode) {
        return keycode != 0 && std::ranges::any_of(mapping.keysyms(keycode), [&](xcb_keysym_t sym) {
                   return std::ranges::find(wanted, sym) != wanted.end();
               });
    });
}

bool isDown(const xcb_query_keymap_reply_t& keymap, std::uint8_t keycode) {
    return (keymap.keys[keycode / 8] & (1U << (keycode % 8))) != 0;
}

bool isRepeatOf(const xcb_generic_event_t& event, const xcb_key_release_event_t& release) {
    const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
    return eventType(event) == XCB_KEY_PRESS && press.detail == release.detail &&
           press.time == release.time;
}

void discardQueuedEvents(xcb_connection_t* connection) {
    for (auto event = xcbOwned(xcb_poll_for_event(connection)); event;
         event = xcbOwned(xcb_poll_for_event(connection))) {
    }
}

} // namespace

X11HotKeyService::X11HotKeyService(X11UserTime& userTime, const std::string& displayName)
    : userTime_(userTime), displayName_(displayName), connection_(connectToDisplay(displayName)) {
    roots_ = rootWindows(connection_.get());
    setUpKeyboardExtension();
    readKeyboardMapping();
    if (!keymap_) {
        throw std::runtime_error("cannot read the keymap of the X display " +
                                 displayLabel(displayName));
    }
    events_ = std::make_unique<XcbEventWatch>(
        connection_.get(), [this](const xcb_generic_event_t& event) { handleEvent(&event); },
        [this] { finishDispatch(); });
}

X11HotKeyService::~X11HotKeyService() = default;

// Detectable auto-repeat: a held key repeats its presses only, so its one release is the real
// one; a server without it repeats releases too, which are told apart as they come. Mapping
// changes are followed through XKB's own notifications as well as the core one.
void X11HotKeyService::setUpKeyboardExtension() {
    xcb_connection_t* connection = connection_.get();
    if (xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                    XKB_X11_MIN_MINOR_XKB_VERSION,
                                    XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                    &keyboardEventBase_, nullptr) == 0) {
        throw std::runtime_error("the X display lacks the keyboard extension (XKB)");
    }
    constexpr std::uint32_t detectable = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    const auto flags = xcbOwned(
        xcb_xkb_per_client_flags_reply(connection,
                                       xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD,
                                                                detectable, detectable, 0, 0, 0),
                                       nullptr));
    detectableAutoRepeat_ = flags && (flags->supported & flags->value & detectable) != 0;
    xcb_xkb_select_events(connection, XCB_XKB_ID_USE_CORE_KBD, keyboardChangeEvents, 0,
                          keyboardChangeEvents, keyboardMapParts, keyboardMapParts, nullptr);
}

// Alt is the ModN of a key that yields Alt (else Meta), Super that of a key yielding Super, and
// likewise for the locks; any column of the key counts.
void X11HotKeyService::readKeyboardMapping() {
    xcb_connection_t* connection = connection_.get();
    keymap_ = XkbKeymap::fromXServer(connection);
    const KeyboardMapping keysyms(connection);
    const auto modifierMap = xcbOwned(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    masks_ = {};
    if (!modifierMap) {
        return;
    }
    const std::size_t perModifier = modifierMap->keycodes_per_modifier;
    const std::span keycodes(xcb_get_modifier_mapping_keycodes(modifierMap.get()), perModifier * 8);
    std::uint16_t meta = 0;
    const auto takeFirst = [](std::uint16_t& mask, std::uint16_t bit, bool carries) {
        if (carries && mask == 0) {
            mask = bit;
        }
    };
    for (std::size_t modifier = firstModN; modifier < 8; ++modifier) {
        const auto row = keycodes.subspan(modifier * perModifier, perModifier);
        const auto bit = static_cast<std::uint16_t>(1U << modifier);
        takeFirst(masks_.alt, bit, carriesAny(keysyms, row, {XKB_KEY_Alt_L, XKB_KEY_Alt_R}));
        takeFirst(meta, bit, carriesAny(keysyms, row, {XKB_KEY_Meta_L, XKB_KEY_Meta_R}));
        takeFirst(masks_.super, bit, carriesAny(keysyms, row, {XKB_KEY_Super_L, XKB_KEY_Super_R}));
        takeFirst(masks_.numLock, bit, carriesAny(keysyms, row, {XKB_KEY_Num_Lock}));
        takeFirst(masks_.scrollLock, bit, carriesAny(keysyms, row, {XKB_KEY_Scroll_Lock}));
    }
    if (masks_.alt == 0) {
        masks_.alt = meta;
    }
}

HotKeyService::Registration X11HotKeyService::registerHotKey(std::uint32_t keyCode,
                                                             std::uint32_t modifiers, HotKeyId id) {
    const auto grab = grabFor(keyCode, modifiers);
    if (!grab) {
        return {.status = HotKeyStatus::hotKeyInvalid, .reference = std::nullopt};
    }
    // A second grab of our own would succeed silently and be undone with the first.
    if (isGrabbedByUs(*grab)) {
        return {.status = HotKeyStatus::hotKeyExists, .reference = std::nullopt};
    }
    if (const std::int32_t status = grabEverywhere(connection_.get(), *grab);
        status != HotKeyStatus::noError) {
        return {.status = status, .reference = std::nullopt};
    }
    const HotKeyRef reference = takeReference();
    hotKeys_.emplace(reference,
                     HotKey{.keyCode = keyCode, .modifiers = modifiers, .id = id, .grab = grab});
    return {.status = HotKeyStatus::noError, .reference = reference};
}

void X11HotKeyService::unregisterHotKey(std::optional<HotKeyRef> reference) {
    const auto hotKey = reference ? hotKeys_.find(*reference) : hotKeys_.end();
    if (hotKey == hotKeys_.end()) {
        return;
    }
    if (hotKey->second.grab) {
        ungrabEverywhere(connection_.get(), *hotKey->second.grab);
        xcb_flush(connection_.get());
    }
    hotKeys_.erase(hotKey);
}

// None when the key has no keycode in the current keymap or a modifier has no bit here.
std::optional<X11HotKeyService::Grab> X11HotKeyService::grabFor(std::uint32_t keyCode,
                                                                std::uint32_t modifiers) const {
    if ((modifiers & ~registrableModifiers) != 0 || keyCode > UINT16_MAX || !keymap_) {
        return std::nullopt;
    }
    const auto keycode = keymap_->keycodeForVirtualKeyCode(static_cast<std::uint16_t>(keyCode));
    if (!keycode || *keycode > UINT8_MAX) {
        return std::nullopt;
    }
    const std::pair<std::uint32_t, std::uint16_t> bits[] = {
        {HotKeyModifier::control, XCB_MOD_MASK_CONTROL},
        {HotKeyModifier::shift, XCB_MOD_MASK_SHIFT},
        {HotKeyModifier::option, masks_.alt},
        {HotKeyModifier::command, masks_.super}};
    Grab grab{.keycode = static_cast<std::uint8_t>(*keycode)};
    for (const auto& [hotKeyBit, coreBit] : bits) {
        if ((modifiers & hotKeyBit) == 0) {
            continue;
        }
        if (coreBit == 0) {
            return std::nullopt;
        }
        grab.modifiers |= coreBit;
    }
    return grab;
}

bool X11HotKeyService::isGrabbedByUs(const Grab& grab) const {
    return std::ranges::any_of(hotKeys_,
                               [&](const auto& entry) { return entry.second.grab == grab; });
}

std::int32_t X11HotKeyService::grabEverywhere(xcb_connection_t* connection, const Grab& grab) {
    std::vector<xcb_void_cookie_t> grabs;
    for (const std::uint32_t root : roots_) {
        for (const std::uint16_t locks : lockCombinations(grab.modifiers)) {
            grabs.push_back(xcb_grab_key_checked(connection, 0, root, grab.modifiers | locks,
                                                 grab.keycode, XCB_GRAB_MODE_ASYNC,
                                                 XCB_GRAB_MODE_ASYNC));
        }
    }
    std::int32_t status = HotKeyStatus::noError;
    for (const auto cookie : grabs) {
        const auto error = xcbOwned(xcb_request_check(connection, cookie));
        if (error && status != HotKeyStatus::hotKeyExists) {
            status = error->error_code == XCB_ACCESS ? HotKeyStatus::hotKeyExists
                                                     : HotKeyStatus::hotKeyInvalid;
        }
    }
    // Ungrabbing takes back only our own grabs: the other client keeps its combination.
    if (status != HotKeyStatus::noError) {
        ungrabEverywhere(connection, grab);
        xcb_flush(connection);
    }
    return status;
}

void X11HotKeyService::ungrabEverywhere(xcb_connection_t* connection, const Grab& grab) {
    for (const std::uint32_t root : roots_) {
        for (const std::uint16_t locks : lockCombinations(grab.modifiers)) {
            xcb_ungrab_key(connection, grab.keycode, root, grab.modifiers | locks);
        }
    }
}

// Every subset of the locks that are not themselves part of the combination.
std::vector<std::uint16_t> X11HotKeyService::lockCombinations(std::uint16_t modifiers) const {
    std::vector<std::uint16_t> combinations{0};
    for (const std::uint16_t lock :
         {std::uint16_t{XCB_MOD_MASK_LOCK}, masks_.numLock, masks_.scrollLock}) {
        if (lock == 0 || (lock & modifiers) != 0 ||
            std::ranges::find(combinations, lock) != combinations.end()) {
            continue;
        }
        const std::size_t count = combinations.size();
        for (std::size_t index = 0; index < count; ++index) {
            combinations.push_back(combinations[index] | lock);
        }
    }
    return combinations;
}

// A combination that the new keymap cannot express, or that another client took meanwhile,
// stays registered without a grab and is tried again at the next change.
void X11HotKeyService::grabAgainThroughNewMapping() {
    for (auto& [reference, hotKey] : hotKeys_) {
        if (hotKey.grab) {
            ungrabEverywhere(connection_.get(), *hotKey.grab);
            hotKey.grab.reset();
        }
    }
    readKeyboardMapping();
    for (auto& [reference, hotKey] : hotKeys_) {
        const auto grab = grabFor(hotKey.keyCode, hotKey.modifiers);
        if (grab && !isGrabbedByUs(*grab) &&
            grabEverywhere(connection_.get(), *grab) == HotKeyStatus::noError) {
            hotKey.grab = grab;
        }
    }
    xcb_flush(connection_.get());
}

// The probe asks exactly what a registration would: another client's grab of any lock state
// counts. Keys pressed during the moment it holds the grab are dropped with its queue.
bool X11HotKeyService::isHeldByAnotherClient(std::uint32_t keyCode, std::uint32_t modifiers) {
    const auto grab = grabFor(keyCode, modifiers);
    if (!grab || isGrabbedByUs(*grab)) {
        return false;
    }
    xcb_connection_t* connection = probeConnection();
    const std::int32_t status = grabEverywhere(connection, *grab);
    if (status == HotKeyStatus::noError) {
        ungrabEverywhere(connection, *grab);
        // A round trip: the combination must be free again before anyone, the recorder storing
        // it for us among them, asks for it on another connection.
        const auto synced = xcbOwned(
            xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    discardQueuedEvents(connection);
    return status == HotKeyStatus::hotKeyExists;
}

// Opened at the first probe: only a shortcut being recorded asks for one.
xcb_connection_t* X11HotKeyService::probeConnection() {
    if (!probeConnection_) {
        probeConnection_ = connectToDisplay(displayName_);
    }
    return probeConnection_.get();
}

void X11HotKeyService::dispatchEvents() {
    events_->dispatchEvents();
}

// A layout change brings several notifications at once: the keys are grabbed again once.
void X11HotKeyService::finishDispatch() {
    if (std::exchange(mappingChanged_, false)) {
        grabAgainThroughNewMapping();
    }
}

void X11HotKeyService::handleEvent(const xcb_generic_event_t* event) {
    const std::uint8_t type = eventType(*event);
    if (type == XCB_KEY_PRESS) {
        handleKeyPress(*reinterpret_cast<const xcb_key_press_event_t*>(event));
    } else if (type == XCB_KEY_RELEASE) {
        handleKeyRelease(*reinterpret_cast<const xcb_key_release_event_t*>(event));
    } else if (type == XCB_MAPPING_NOTIFY) {
        const auto& mapping = *reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
        mappingChanged_ = mappingChanged_ || mapping.request != XCB_MAPPING_POINTER;
    } else if (type == keyboardEventBase_) {
        // Every XKB event carries its own type in the second byte; we selected only changes.
        mappingChanged_ = true;
    }
    // Errors are of requests whose outcome nobody waits for (ungrabbing what was not grabbed).
}

void X11HotKeyService::handleKeyPress(const xcb_key_press_event_t& event) {
    const std::uint16_t locks = XCB_MOD_MASK_LOCK | masks_.numLock | masks_.scrollLock;
    const Grab pressed{.keycode = event.detail,
                       .modifiers =
                           static_cast<std::uint16_t>(event.state & coreModifierBits & ~locks)};
    const auto hotKey = std::ranges::find_if(
        hotKeys_, [&](const auto& entry) { return entry.second.grab == pressed; });
    // A key held down repeats its press; the combination is delivered once until released.
    if (hotKey == hotKeys_.end() || heldKeys_.contains(event.detail)) {
        return;
    }
    heldKeys_.emplace(event.detail, hotKey->second);
    deliver(KeyboardEventKind::hotKeyPressed, hotKey->second, event.time);
}

// Without detectable auto-repeat a held key repeats as a release and a press of the same time,
// which the server sends together: the event after a release tells a repeat from a real one.
void X11HotKeyService::handleKeyRelease(const xcb_key_release_event_t& event) {
    if (!heldKeys_.contains(event.detail)) {
        return;
    }
    const auto next =
        detectableAutoRepeat_ ? nullptr : xcbOwned(xcb_poll_for_event(connection_.get()));
    if (next && isRepeatOf(*next, event)) {
        return;
    }
    endHold(event);
    if (next) {
        handleEvent(next.get());
    }
}

void X11HotKeyService::endHold(const xcb_key_release_event_t& event) {
    releaseHeldKey(event.detail, event.time);
    if (!heldKeys_.empty() && !keyboardGrabbed_) {
        grabUntilHeldKeysAreUp(event);
    }
    letKeyboardGoOnceKeysAreUp(event.time);
}

void X11HotKeyService::releaseHeldKey(std::uint8_t keycode, std::uint32_t timestamp) {
    const auto held = heldKeys_.extract(keycode);
    deliver(KeyboardEventKind::hotKeyReleased, held.mapped(), timestamp);
}

// A passive grab ends when the key that started it is let go: the events of a combination
// pressed meanwhile go to the focused window from then on, its release among them. So the
// keyboard is grabbed until the keys still held are up, and a key found up by then, let go
// before the grab took hold, is released at once; as is every held key if the grab fails.
void X11HotKeyService::grabUntilHeldKeysAreUp(const xcb_key_release_event_t& release) {
    xcb_connection_t* connection = connection_.get();
    const auto grabCookie = xcb_grab_keyboard(connection, 0, release.root, XCB_CURRENT_TIME,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    const auto keymapCookie = xcb_query_keymap(connection);
    const auto grab = xcbOwned(xcb_grab_keyboard_reply(connection, grabCookie, nullptr));
    const auto keymap = xcbOwned(xcb_query_keymap_reply(connection, keymapCookie, nullptr));
    keyboardGrabbed_ = grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
    std::vector<std::uint8_t> letGo;
    for (const auto& [keycode, hotKey] : heldKeys_) {
        if (!keyboardGrabbed_ || !keymap || !isDown(*keymap, keycode)) {
            letGo.push_back(keycode);
        }
    }
    for (const std::uint8_t keycode : letGo) {
        releaseHeldKey(keycode, release.time);
    }
}

void X11HotKeyService::letKeyboardGoOnceKeysAreUp(std::uint32_t timestamp) {
    if (heldKeys_.empty() && std::exchange(keyboardGrabbed_, false)) {
        xcb_ungrab_keyboard(connection_.get(), timestamp);
        xcb_flush(connection_.get());
    }
}

void X11HotKeyService::deliver(std::uint32_t kind, const HotKey& hotKey, std::uint32_t timestamp) {
    userTime_.record(timestamp);
    deliverToHandler({.kind = kind,
                      .hotKeyId = hotKey.id,
                      .keyCode = hotKey.keyCode,
                      .modifiers = hotKey.modifiers,
                      .timestamp = timestamp});
}

} // namespace platform::linux_desktop
