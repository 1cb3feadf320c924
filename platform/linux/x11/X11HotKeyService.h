#pragma once

#include "platform/HotKeyServiceBase.h"
#include "platform/linux/XkbKeymap.h"
#include "platform/linux/x11/XcbConnection.h"

#include <map>
#include <memory>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace platform::linux_desktop {

class X11UserTime;

// Hot keys as passive key grabs on the root window of every screen, on an X connection of its
// own so that its grabs, its XKB flags and its events never disturb Qt's keyboard handling.
//
// A combination is grabbed once for each state of the locks (Caps, Num, Scroll), which never
// take part in matching. Alt, Super, Num Lock and Scroll Lock are found in the modifier mapping.
// The connection asks for detectable auto-repeat, or where the server lacks it drops a release
// sent together with a press of the same key and time; a press of a key already down is dropped
// as well: holding a combination gives one press and one release. A release belongs to the
// combination whose press it ends, whatever modifiers are still held; every press delivered
// gets its release, also when combinations overlap or one goes while held. When the keyboard
// mapping changes, every combination is grabbed again through the new keycodes; references
// stay valid.
//
// Needs a running Qt event loop: the connection is watched from it.
class X11HotKeyService final : public HotKeyServiceBase {
public:
    // Connects to the display (empty: $DISPLAY). Throws std::runtime_error, naming the
    // display, when it cannot, or when the server lacks the XKB extension.
    explicit X11HotKeyService(X11UserTime& userTime, const std::string& displayName = {});
    X11HotKeyService(const X11HotKeyService&) = delete;
    X11HotKeyService& operator=(const X11HotKeyService&) = delete;
    ~X11HotKeyService() override;

    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                HotKeyId id) override;
    void unregisterHotKey(std::optional<HotKeyRef> reference) override;

    // Reads what the server has sent and delivers it. The event loop calls it when the
    // connection has data; a caller without an event loop may call it itself.
    void dispatchEvents();

    // Whether another client holds a passive grab of the combination (in the shortcut encoding),
    // found by grabbing it for a moment on a connection apart from the hot keys' own. A
    // combination of our own, or one that this display cannot express, answers false.
    [[nodiscard]] bool isHeldByAnotherClient(std::uint32_t keyCode, std::uint32_t modifiers);

private:
    // The modifier bits of the core protocol that carry Alt, Super and the locks here.
    struct ModifierMasks {
        std::uint16_t alt = 0;
        std::uint16_t super = 0;
        std::uint16_t numLock = 0;
        std::uint16_t scrollLock = 0;
    };
    // A key and modifier state of the core protocol.
    struct Grab {
        std::uint8_t keycode = 0;
        std::uint16_t modifiers = 0;

        friend auto operator<=>(const Grab&, const Grab&) = default;
    };
    struct HotKey {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        HotKeyId id;
        // None while the current keymap cannot express the combination or another client
        // holds it.
        std::optional<Grab> grab;
    };
    void setUpKeyboardExtension();
    [[nodiscard]] xcb_connection_t* probeConnection();
    void readKeyboardMapping();
    void finishDispatch();

    [[nodiscard]] std::optional<Grab> grabFor(std::uint32_t keyCode, std::uint32_t modifiers) const;
    [[nodiscard]] bool isGrabbedByUs(const Grab& grab) const;
    // Every root window, every state of the locks, on the given connection. Answers a hot-key
    // status; on failure nothing stays grabbed.
    std::int32_t grabEverywhere(xcb_connection_t* connection, const Grab& grab);
    void ungrabEverywhere(xcb_connection_t* connection, const Grab& grab);
    [[nodiscard]] std::vector<std::uint16_t> lockCombinations(std::uint16_t modifiers) const;
    void grabAgainThroughNewMapping();

    void handleEvent(const xcb_generic_event_t* event);
    void handleKeyPress(const xcb_key_press_event_t& event);
    void handleKeyRelease(const xcb_key_release_event_t& event);
    void endHold(const xcb_key_release_event_t& event);
    void releaseHeldKey(std::uint8_t keycode, std::uint32_t timestamp);
    void grabUntilHeldKeysAreUp(const xcb_key_release_event_t& release);
    void letKeyboardGoOnceKeysAreUp(std::uint32_t timestamp);
    void deliver(std::uint32_t kind, const HotKey& hotKey, std::uint32_t timestamp);

    X11UserTime& userTime_;
    std::string displayName_;
    XcbConnection connection_;
    // Grabs only for as long as a probe takes; its events are never read.
    XcbConnection probeConnection_;
    std::vector<std::uint32_t> roots_;
    std::optional<XkbKeymap> keymap_;
    ModifierMasks masks_;
    std::uint8_t keyboardEventBase_ = 0;
    bool detectableAutoRepeat_ = false;
    bool mappingChanged_ = false;
    std::map<HotKeyRef, HotKey> hotKeys_;
    // The keys whose press was delivered, until their release, with the combination it was of:
    // it may be unregistered meanwhile.
    std::map<std::uint8_t, HotKey> heldKeys_;
    bool keyboardGrabbed_ = false;
    std::unique_ptr<XcbEventWatch> events_;
};

} // namespace platform::linux_desktop
