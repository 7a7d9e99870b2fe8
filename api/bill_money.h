// Money of the ride and the bill in whole roubles, the fare rule that raises a total to a minimum, and the
// guards that keep a figure of the bill within what its text or its command can carry.
#pragma once

#include <cstdint>

namespace zel_api {

// Whole roubles of an amount: the amount rounded to kopecks first, then cut to roubles, so a float total of
// 299.99998 counts as 300 while 250.7 stays 250. Amounts outside the 32-bit range count as 0.
int32_t whole_roubles(double amount);

// The larger of a and b (mode 1), of a, b and c (mode 2), else 0.
int32_t fare_rule_max(int32_t mode, int32_t a, int32_t b, int32_t c);

// The value cut toward zero and held within the 32-bit range; 0 when it is not finite.
int32_t clamped_int32(double value);

// The value when finite, else 0.
float finite_or_zero(float value);

} // namespace zel_api
