#include "bench/XTestKeyboard.h"

#include "platform/linux/XkbKeymap.h"

#include <algorithm>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace bench_support {

XTestKeyboard::XTestKeyboard(const std::string& display, std::uint32_t key)
    : connection_(xcb_connect(display.c_str(), nullptr)) {
    const auto keymap = platform::linux_desktop::XkbKeymap::fromXServer(connection_);
    control_ = static_cast<std::uint8_t>(keymap->keycode("LCTL").value_or(0));
    alt_ = static_cast<std::uint8_t>(keymap->keycode("LALT").value_or(0));
    n_ = static_cast<std::uint8_t>(keymap->keycodeForVirtualKeyCode(key).value_or(0));
}

XTestKeyboard::~XTestKeyboard() {
    xcb_disconnect(connection_);
}

void XTestKeyboard::pressCombination() {
    for (const std::uint8_t key : {control_, alt_, n_}) {
        send(XCB_KEY_PRESS, key);
    }
    xcb_flush(connection_);
}

void XTestKeyboard::releaseKey() {
    send(XCB_KEY_RELEASE, n_);
    xcb_flush(connection_);
}

void XTestKeyboard::releaseModifiers() {
    send(XCB_KEY_RELEASE, alt_);
    send(XCB_KEY_RELEASE, control_);
    xcb_flush(connection_);
}

void XTestKeyboard::send(std::uint8_t type, std::uint8_t keycode) {
    xcb_test_fake_input(connection_, type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
}

void reportPercentiles(benchmark::State& state, std::vector<double> microseconds,
                       const std::string& prefix) {
    std::ranges::sort(microseconds);
    const auto at = [&](double fraction) {
        return microseconds[static_cast<std::size_t>(fraction *
                                                     static_cast<double>(microseconds.size() - 1))];
    };
    state.counters[prefix + "median_us"] = at(0.5);
    state.counters[prefix + "p95_us"] = at(0.95);
    state.counters[prefix + "samples"] = static_cast<double>(microseconds.size());
}

} // namespace bench_support
