// Integer arithmetic that stops at the type's limits instead of wrapping: times and counts that come from a
// server may hold any 64-bit value, and a sum or product of them must neither overflow nor change sign. Pure
// functions, no state; safe on every thread.
#pragma once

#include <cstdint>
#include <limits>

namespace zel {

inline int64_t saturating_add(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return sum;
}

inline int64_t saturating_sub(int64_t a, int64_t b) {
    int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) {
        return b < 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return difference;
}

inline int64_t saturating_mul(int64_t a, int64_t b) {
    int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        return (a < 0) == (b < 0) ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return product;
}

// ms − seconds × 1000, exact wherever the true difference fits (even when the product alone does not) and
// otherwise held at INT64_MIN or INT64_MAX: a time in milliseconds less a time in seconds, e.g. how far an
// order's "tt" lies ahead of the server's now, or how long ago a start given in seconds was.
inline int64_t ms_minus_seconds(int64_t ms, int64_t seconds) {
    // Every pair fits in 128 bits: |ms| < 2^63 and |seconds × 1000| < 2^73.
    __extension__ using wide = __int128;
    const wide exact = static_cast<wide>(ms) - static_cast<wide>(seconds) * 1000;
    if (exact > std::numeric_limits<int64_t>::max()) {
        return std::numeric_limits<int64_t>::max();
    }
    if (exact < std::numeric_limits<int64_t>::min()) {
        return std::numeric_limits<int64_t>::min();
    }
    return static_cast<int64_t>(exact);
}

} // namespace zel
