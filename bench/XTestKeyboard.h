#pragma once

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace bench_support {

// Types Ctrl+Alt and a key (N unless told: a virtual key code) as a user would, through XTest on
// a connection of its own.
class XTestKeyboard {
public:
    static constexpr std::uint32_t keyN = 45;

    explicit XTestKeyboard(const std::string& display, std::uint32_t key = keyN);
    XTestKeyboard(const XTestKeyboard&) = delete;
    XTestKeyboard& operator=(const XTestKeyboard&) = delete;
    ~XTestKeyboard();

    void pressCombination();
    void releaseKey();
    void releaseModifiers();

private:
    void send(std::uint8_t type, std::uint8_t keycode);

    xcb_connection_t* connection_;
    std::uint8_t control_ = 0;
    std::uint8_t alt_ = 0;
    std::uint8_t n_ = 0;
};

// Median and 95th percentile of single samples, as the benchmark's counters, their names
// starting with the prefix.
void reportPercentiles(benchmark::State& state, std::vector<double> microseconds,
                       const std::string& prefix = {});

} // namespace bench_support
