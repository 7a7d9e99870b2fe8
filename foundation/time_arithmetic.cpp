#include "foundation/time_arithmetic.h"

#include <limits>

namespace zel {

int64_t ms_minus_seconds(int64_t ms, int64_t seconds) {
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
