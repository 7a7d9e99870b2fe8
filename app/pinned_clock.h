// The clocks of step mode. The wall clock is pinned at a moment and moves only as far as the headless display's
// virtual clock has moved since, so the strip, the countdowns and the taximeter see the steps' time alone; the
// monotonic clock is the real steady clock, so the links' time-outs and silence checks stay real however long a
// step waits for a server.
//
// Threads: any thread reads; pin() takes the lock that guards the pinned pair. The display's clock is read
// before the lock is taken.
#pragma once

#include <cstdint>
#include <mutex>

#include "foundation/clock.h"

namespace zel::app {

class pinned_clock : public clock_source {
public:
    // Pinned at seconds since 1970 (UTC) from the display's reading now on. Installs nothing.
    explicit pinned_clock(int64_t seconds);

    // Pins the wall clock again: from now on it reads seconds plus the display's progress after this call.
    void pin(int64_t seconds);

    int64_t wall_ms() override;
    uint64_t monotonic_ms() override;

private:
    std::mutex lock_;
    int64_t pinned_ms_ = 0;
    uint64_t display_at_pin_ = 0;
};

} // namespace zel::app
