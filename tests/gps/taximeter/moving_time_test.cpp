// Moving time without recursion gives what the recursive definition gives, on well-formed downtime and
// pause intervals: random ones (overlapping and nested, at millisecond precision) and the 100 ms tolerance.
#include "gps/taximeter/tax_dump.h"
#include "tests/gps/taximeter/reference_pricing.h"
#include "tests/gps/taximeter/taximeter_fixture.h"

#include <random>

namespace zel::gps::testing {
namespace {

class moving_time_test : public taximeter_test {
public:
    manual_clock& clock() {
        return clock_;
    }
};

// Downtime intervals come from a dump (any millisecond), pauses from set_pause (whole seconds).
void install(moving_time_test& test, taximeter& meter, const std::vector<time_interval>& downtime,
             const std::vector<std::pair<int64_t, int64_t>>& pauses_s, std::vector<time_interval>& pauses) {
    tax_dump dump;
    dump.order_id = u"A1";
    dump.start_time = ride_start_ms;
    dump.downtime = downtime;
    std::ofstream(dump_file::path(), std::ios::binary | std::ios::trunc) << dump.encode();
    meter.start(L"A1");
    for (const auto& [begin, end] : pauses_s) {
        test.clock().set_wall_ms(ride_start_ms + begin * 1000);
        meter.set_pause(1);
        test.clock().set_wall_ms(ride_start_ms + end * 1000);
        meter.set_pause(0);
        pauses.push_back(
            {static_cast<uint64_t>(ride_start_ms + begin * 1000), static_cast<uint64_t>(ride_start_ms + end * 1000)});
    }
}

TEST_F(moving_time_test, matches_the_recursive_definition) {
    std::mt19937_64 random(20240611);
    auto between = [&random](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };
    const uint64_t t0 = ride_start_ms;
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<time_interval> downtime;
        for (int i = between(0, 4); i > 0; --i) {
            const uint64_t begin = t0 + between(0, 60000);
            downtime.push_back({begin, begin + between(0, 20000)});
        }
        std::vector<std::pair<int64_t, int64_t>> pauses_s;
        for (int i = between(0, 3); i > 0; --i) {
            const int64_t begin = between(0, 60);
            pauses_s.emplace_back(begin, begin + between(0, 15));
        }
        taximeter meter;
        std::vector<time_interval> pauses;
        install(*this, meter, downtime, pauses_s, pauses);
        for (int i = 0; i < 200; ++i) {
            const uint64_t t1 = t0 + between(-5000, 70000);
            const uint64_t t2 = i % 4 == 0 ? t1 + between(0, 300) : t0 + between(-5000, 70000);
            EXPECT_EQ(meter.moving_ms(t1, t2), t2 < t1 ? 0 : recursive_moving(downtime, pauses, t1, t2))
                << "trial " << trial << " [" << t1 - t0 << ", " << t2 - t0 << "]";
            if (t2 >= t1 + 100) {
                EXPECT_EQ(meter.active_ms(t1, t2), recursive_active(pauses, t1, t2));
            }
        }
        meter.stop();
    }
}

TEST_F(moving_time_test, an_overlap_under_100_ms_does_not_cut) {
    const uint64_t t0 = ride_start_ms;
    struct row {
        time_interval downtime;
        uint64_t moving;
    };
    const row rows[] = {
        {{t0 + 1000, t0 + 1099}, 2000}, // shares 99 ms
        {{t0 + 1000, t0 + 1100}, 1900}, // shares 100 ms
        {{t0 - 500, t0 + 99}, 2000},    // overlaps the begin by 99 ms
        {{t0 + 1950, t0 + 5000}, 2000}, // overlaps the end by 50 ms
        {{t0 + 1850, t0 + 5000}, 1850}, // by 150 ms
        {{t0 + 50, t0 + 1950}, 0},      // the 50 ms pieces beside the cut are dropped
    };
    for (const row& r : rows) {
        taximeter meter;
        std::vector<time_interval> pauses;
        install(*this, meter, {r.downtime}, {}, pauses);
        EXPECT_EQ(meter.moving_ms(t0, t0 + 2000), r.moving) << r.downtime.begin - t0 << " " << r.downtime.end - t0;
        meter.stop();
    }
}

} // namespace
} // namespace zel::gps::testing
