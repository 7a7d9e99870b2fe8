// Device time as the taximeter counts it: whole seconds of the wall clock, in milliseconds since 1970.
#pragma once

#include "foundation/clock.h"

#include <cstdint>

namespace zel::gps {

inline uint64_t now_ms() {
    const int64_t seconds = now_seconds();
    return seconds > 0 ? static_cast<uint64_t>(seconds) * 1000 : 0;
}

// to - from, or 0 when the clock was set back so that to lies before from: unsigned differences must
// never wrap into centuries.
inline uint64_t ms_since(uint64_t from, uint64_t to) {
    return to > from ? to - from : 0;
}

// A figure as whole units, 0 below zero (and for NaN) and the largest value above it: converting a double
// out of the integer's range is undefined, and tariffs come from the server.
inline uint64_t whole_saturated(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    return value >= 18446744073709551615.0 ? UINT64_MAX : static_cast<uint64_t>(value);
}

} // namespace zel::gps
