#include "form/order/bill_money.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zel::form {

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

} // namespace zel::form
