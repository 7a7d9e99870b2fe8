#include "gps/taximeter/time_interval.h"

namespace zel::gps {

bool interval_contains(const time_interval& interval, uint64_t t) {
    return interval.begin <= t && t <= interval.end;
}

uint64_t interval_overlap_ms(const time_interval& interval, uint64_t t1, uint64_t t2) {
    if (interval.end < interval.begin || t2 < t1 || t2 < interval.begin || t1 > interval.end) {
        return 0;
    }
    const bool first_inside = interval_contains(interval, t1);
    const bool second_inside = interval_contains(interval, t2);
    if (first_inside && second_inside) {
        return t2 - t1;
    }
    if (first_inside) {
        return interval.end - t1;
    }
    if (second_inside) {
        return t2 - interval.begin;
    }
    return interval.end - interval.begin;
}

} // namespace zel::gps
