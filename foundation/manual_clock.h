// A clock that moves only when told to: tests install it with clock::set_source and step it. Installing it
// replaces the system clocks for the whole process until it is destroyed.
#pragma once

#include "foundation/clock.h"

#include <atomic>

namespace zel {

class manual_clock : public clock_source {
public:
    explicit manual_clock(int64_t wall_ms = 1'600'000'000'000LL, uint64_t monotonic_ms = 1'000'000)
        : wall_(wall_ms), monotonic_(monotonic_ms) {
        clock::set_source(this);
    }
    ~manual_clock() override {
        clock::set_source(nullptr);
    }
    manual_clock(const manual_clock&) = delete;
    manual_clock& operator=(const manual_clock&) = delete;

    int64_t wall_ms() override {
        return wall_.load();
    }
    uint64_t monotonic_ms() override {
        return monotonic_.load();
    }

    // Moves both clocks forward.
    void advance_ms(int64_t ms) {
        wall_ += ms;
        monotonic_ += static_cast<uint64_t>(ms);
    }
    // Sets the wall clock alone (a clock set back or forward by the user or by time sync).
    void set_wall_ms(int64_t ms) {
        wall_ = ms;
    }

private:
    std::atomic<int64_t> wall_;
    std::atomic<uint64_t> monotonic_;
};

} // namespace zel
