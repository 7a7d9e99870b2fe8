// The pinned clock on the headless display: its wall time moves with the display's virtual clock alone, from the
// moment pinned; its monotonic time is the real one.
#include "app/pinned_clock.h"

#include <chrono>

#include <gtest/gtest.h>

#include "platform/headless.h"

namespace zel::app {
namespace {

constexpr int64_t pinned_seconds = 1'600'056'300;

class pinned_clock_test : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::start();
    }
    void TearDown() override {
        clock::set_source(nullptr);
    }
};

TEST_F(pinned_clock_test, wall_time_follows_the_virtual_clock_only) {
    pinned_clock pinned(pinned_seconds);
    clock::set_source(&pinned);
    EXPECT_EQ(clock::now_ms(), pinned_seconds * 1000);
    const utc_time start = clock::utc_now();
    EXPECT_EQ(start.hour, 4);
    EXPECT_EQ(start.minute, 5);
    EXPECT_EQ(start.second, 0);

    const uint32_t tick = clock::tick_ms();
    platform::headless::advance(90'500);
    EXPECT_EQ(clock::now_ms(), pinned_seconds * 1000 + 90'500);
    EXPECT_EQ(clock::now_seconds(), pinned_seconds + 90);
    // An hour and a half of virtual time moves the monotonic clock no more than the real time the test took.
    platform::headless::advance(5'400'000);
    EXPECT_LT(clock::tick_ms() - tick, 60'000u);
    EXPECT_EQ(clock::now_ms(), pinned_seconds * 1000 + 90'500 + 5'400'000);
}

TEST_F(pinned_clock_test, the_monotonic_clock_is_the_real_steady_clock) {
    pinned_clock pinned(pinned_seconds);
    using namespace std::chrono;
    const auto before =
        static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    const uint64_t read = pinned.monotonic_ms();
    const auto after =
        static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    EXPECT_GE(read, before);
    EXPECT_LE(read, after);
}

TEST_F(pinned_clock_test, pinning_again_starts_from_the_display_as_it_reads_then) {
    platform::headless::advance(10'000); // the display's clock is not at its start
    pinned_clock pinned(pinned_seconds);
    EXPECT_EQ(pinned.wall_ms(), pinned_seconds * 1000);
    platform::headless::advance(2'000);
    pinned.pin(1'700'000'000);
    EXPECT_EQ(pinned.wall_ms(), 1'700'000'000'000);
    platform::headless::advance(1'000);
    EXPECT_EQ(pinned.wall_ms(), 1'700'000'001'000);
}

} // namespace
} // namespace zel::app
