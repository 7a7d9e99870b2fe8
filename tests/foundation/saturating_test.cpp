#include "foundation/saturating.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace zel {
namespace {

constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
constexpr int64_t highest = std::numeric_limits<int64_t>::max();

// Exact wherever the true difference fits, held at the range's end where it does not; every case runs under
// UndefinedBehaviorSanitizer in the sanitizer tree.
TEST(saturating, ms_minus_seconds_is_exact_in_range_and_held_at_its_ends) {
    struct difference_case {
        const char* name;
        int64_t ms;
        int64_t seconds;
        int64_t expected;
    };
    const difference_case cases[] = {
        {"ahead", 1'600'001'800'500, 1'600'000'000, 1'800'500},
        {"past", 1'600'000'000'000, 1'600'000'060, -60'000},
        {"zero", 0, 0, 0},
        {"lowest time", lowest, 1'600'000'000, lowest},
        {"highest time", highest, 1'600'000'000, highest - 1'600'000'000'000},
        {"highest time, negative now", highest, -1, highest},
        {"lowest time, lowest now", lowest, lowest, highest},
        {"highest time, highest now", highest, highest, lowest},
        {"now beyond the milliseconds' range", 0, highest / 999, lowest},
        {"both huge, difference small", highest, highest / 1000, 807},
        // The product leaves 64 bits, the difference does not.
        {"product outside, difference inside", lowest + 5, lowest / 1000 - 1, 197},
    };
    for (const difference_case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ms_minus_seconds(c.ms, c.seconds), c.expected);
    }
}

} // namespace
} // namespace zel
