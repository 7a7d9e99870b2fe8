// The program's one source of time. Device time is whole seconds since 1970 (UTC) from the system clock; the
// tick is a 32-bit millisecond count from a monotonic clock (compare ticks by unsigned subtraction, it wraps).
// Tests install a clock_source (see manual_clock) and step it instead of sleeping.
#pragma once

#include <cstdint>

namespace zel {

struct utc_time {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class clock_source {
public:
    virtual ~clock_source() = default;
    // Wall clock in milliseconds since 1970 (UTC).
    virtual int64_t wall_ms() = 0;
    // Monotonic milliseconds since some fixed point.
    virtual uint64_t monotonic_ms() = 0;
};

class clock {
public:
    // Installs a source for the whole process (null restores the system clocks). The source must outlive
    // its use.
    static void set_source(clock_source* source);

    static int64_t now_seconds();
    static int64_t now_ms();
    static uint32_t tick_ms();
    static utc_time utc_now();
    static utc_time to_utc(int64_t unix_ms);
};

inline int64_t now_seconds() {
    return clock::now_seconds();
}

// Strictly increasing millisecond stamp in the design's own calendar (twelve 31-day months from 2000).
uint64_t unique_stamp_ms();

} // namespace zel
