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

} // namespace zel
