// A span of device time in milliseconds since 1970: a downtime or a pause of the taximeter.
#pragma once

#include <cstdint>

namespace zel::gps {

struct time_interval {
    uint64_t begin = 0;
    uint64_t end = 0;
};

// b <= t <= e.
bool interval_contains(const time_interval& interval, uint64_t t);

// Milliseconds that [t1, t2] shares with the interval. An interval that ends before it begins (the wall clock
// was set back while it was open) counts as empty, as does t2 < t1: otherwise the unsigned differences wrap.
uint64_t interval_overlap_ms(const time_interval& interval, uint64_t t1, uint64_t t2);

} // namespace zel::gps
