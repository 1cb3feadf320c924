#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <optional>
#include <string>

namespace platform::linux_desktop {

// The X server time of the latest user input (a key or button pressed or released) that
// reached this application. Window managers judge activation requests by it: a request that
// carries the time of the input that caused it gets past focus-stealing prevention.
//
// X times are 32-bit milliseconds that wrap around every 49.7 days; "latest" is judged as the
// server judges it, within half that range.
class X11UserTime final : public QAbstractNativeEventFilter {
public:
    // Follows the input events of the application's own X connection. Call once the
    // QGuiApplication exists; does nothing where it does not run on the xcb platform.
    void watchApplicationInput();
    // For input that reaches the application through a connection of its own (hot keys).
    void record(std::uint32_t timestamp);
    // For a request that a launcher started: its startup-notification id ends in "_TIME"
    // followed by the time of the input that launched it. An id without one adds nothing.
    void recordLaunch(const std::string& startupId);
    // None until some input was seen.
    [[nodiscard]] std::optional<std::uint32_t> latest() const { return latest_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::optional<std::uint32_t> latest_;
    // Qt takes pointer and touch input through XInput 2, as generic events of that extension.
    std::optional<std::uint8_t> inputExtensionOpcode_;
};

} // namespace platform::linux_desktop
