#include "api/bill_money.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zel_api {

int32_t whole_roubles(double amount) {
    const double kopecks = std::round(amount * 100.0);
    if (!std::isfinite(kopecks) || std::fabs(kopecks) / 100.0 > std::numeric_limits<int32_t>::max()) {
        return 0;
    }
    return static_cast<int32_t>(std::llround(kopecks) / 100);
}

int32_t fare_rule_max(int32_t mode, int32_t a, int32_t b, int32_t c) {
    if (mode == 1) {
        return std::max(a, b);
    }
    if (mode == 2) {
        return std::max(std::max(a, b), c);
    }
    return 0;
}

int32_t clamped_int32(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(std::trunc(value), low, high));
}

float finite_or_zero(float value) {
    return std::isfinite(value) ? value : 0.0f;
}

} // namespace zel_api
