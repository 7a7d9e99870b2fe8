#include "foundation/clock.h"
#include "foundation/manual_clock.h"
#include "foundation/server_clock.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(clock, now_seconds_follows_the_installed_source) {
    manual_clock fake(1'000'000'000'500LL);
    EXPECT_EQ(now_seconds(), 1'000'000'000);
    fake.advance_ms(1500);
    EXPECT_EQ(now_seconds(), 1'000'000'002);
    fake.set_wall_ms(-1500);
    EXPECT_EQ(now_seconds(), -2);
}

TEST(clock, tick_wraps_and_compares_by_unsigned_subtraction) {
    manual_clock fake(0, 0xFFFFFFFFULL - 10);
    const uint32_t before = clock::tick_ms();
    fake.advance_ms(30);
    EXPECT_EQ(static_cast<uint32_t>(clock::tick_ms() - before), 30u);
}

TEST(clock, unique_stamps_increase_strictly) {
    manual_clock fake(1'700'000'000'000LL, 5000);
    const uint64_t first = unique_stamp_ms();
    const uint64_t second = unique_stamp_ms();
    EXPECT_EQ(second, first + 1);
    fake.set_wall_ms(1'700'000'000'000LL - 3'600'000); // clock set back an hour
    EXPECT_EQ(unique_stamp_ms(), second + 1);
    EXPECT_EQ(unique_stamp_ms(), second + 2);
}

TEST(clock, unique_stamp_uses_the_31_day_calendar) {
    // 2014-03-01 00:00:00 UTC, tick 1234.
    manual_clock fake(1393632000000LL, 1234);
    const uint64_t expected = 14ULL * 32140800000ULL + 3ULL * 2678400000ULL + 1ULL * 86400000ULL + 234;
    const uint64_t stamp = unique_stamp_ms();
    EXPECT_GE(stamp, expected); // earlier tests may have handed out a larger stamp already
}

TEST(server_clock, offset_and_time_zone) {
    manual_clock fake(1'000'000'000'000LL);
    server_clock clock;
    EXPECT_EQ(clock.server_now(), 1'000'000'000);
    EXPECT_EQ(clock.set_server_time(1000000000500LL), 1'000'000'000);
    EXPECT_EQ(clock.offset(), 0);
    EXPECT_EQ(clock.set_server_time(-1500), -1);
    EXPECT_EQ(clock.offset(), -1 - 1'000'000'000);
    EXPECT_EQ(clock.store_server_seconds(10'800'000), 10800);
    EXPECT_EQ(clock.server_seconds(), 10800);
    clock.set_server_time(1'000'000'060'000LL);
    EXPECT_EQ(clock.server_now(), 1'000'000'060);
}

} // namespace
} // namespace zel
