// A long random ride, step by step: the figures the taximeter keeps as it goes are those of a walk over the
// whole ride as it stands, and every dump holds the bytes of the ride as it stood, through thinned points,
// short and long downtimes (ended by hand, by speed and by distance), pauses, a tariff replaced midway and a
// restart from the dump.
#include "gps/taximeter/tax_dump.h"
#include "tests/gps/taximeter/reference_pricing.h"
#include "tests/gps/taximeter/taximeter_fixture.h"

#include <memory>
#include <random>

namespace zel::gps::testing {
namespace {

struct long_ride_case {
    const char* name;
    tariff_recipe tariff;
    tariff_recipe replacement;
    uint64_t seed;
};

std::vector<long_ride_case> long_ride_cases() {
    return {
        {"split_with_cap_and_included_distance",
         {.per_km = 10, .per_minute = 60, .cap = 400, .included_km = 0.3f, .downtime_per_minute = 5},
         {.per_km = 12, .per_minute = 30, .speed_limit = 25},
         1},
        {"by_time_with_included_minutes",
         {.per_minute = 6, .included_minutes = 3},
         {.per_km = 10, .per_minute = 60, .cap = 50},
         2},
        {"split_speed_limit_zero", {.per_km = 10, .per_minute = 60, .speed_limit = 0}, {.per_km = 10}, 3},
    };
}

class long_ride_test : public taximeter_test, public ::testing::WithParamInterface<long_ride_case> {
protected:
    // The downtime intervals as the taximeter holds them, read back from its export.
    static std::vector<time_interval> downtime_of(taximeter& meter) {
        trip_export out;
        meter.export_trip(out);
        std::vector<time_interval> intervals;
        for (const tax_data_sample& sample : out.tax_data.samples) {
            if (sample.distance == -1 && sample.state == 2) {
                intervals.push_back({static_cast<uint64_t>(ride_start_ms + sample.time), 0});
            } else if (sample.distance == -1 && sample.state == 4) {
                intervals.back().end = static_cast<uint64_t>(ride_start_ms + sample.time);
            }
        }
        return intervals;
    }

    void expect_as_walked_whole(taximeter& meter, const std::vector<time_interval>& pauses,
                                const tariff_recipe& tariff, int64_t second) {
        const std::vector<taximeter_point> kept = meter.points();
        const reference_ride want = reference_accumulation(kept, ride_start_ms, downtime_of(meter), pauses, tariff);
        EXPECT_FLOAT_EQ(meter.distance(), static_cast<float>(want.distance)) << "second " << second;
        EXPECT_EQ(meter.charged_distance(), static_cast<uint64_t>(want.charged_distance)) << "second " << second;
        for (size_t i = 1; i < kept.size(); ++i) {
            const taximeter_point& got = kept[i];
            const taximeter_point& expected = want.points[i];
            const bool same = got.time_since_start == expected.time_since_start &&
                              got.inclusion_used == expected.inclusion_used &&
                              got.cap_reached == expected.cap_reached && got.split == expected.split &&
                              got.distance_at_point == expected.distance_at_point &&
                              got.time_cost_at_point == expected.time_cost_at_point &&
                              got.distance_cost_at_point == expected.distance_cost_at_point;
            if (!same) {
                ADD_FAILURE() << "second " << second << ", point " << i << " of " << kept.size()
                              << ": time cost " << got.time_cost_at_point << " want " << expected.time_cost_at_point
                              << ", distance cost " << got.distance_cost_at_point << " want "
                              << expected.distance_cost_at_point << ", distance " << got.distance_at_point
                              << " want " << expected.distance_at_point;
                return;
            }
        }
    }
};

TEST_P(long_ride_test, figures_kept_step_by_step_are_those_of_the_whole_ride) {
    const long_ride_case& c = GetParam();
    std::mt19937_64 random(c.seed);
    auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
    auto between = [&random](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };

    constexpr int64_t ride_seconds = 1800;
    tariff_recipe tariff = c.tariff;
    auto meter = std::make_unique<taximeter>();
    start(*meter, tariff);
    std::vector<time_interval> pauses;
    int64_t pause_until = -1;
    int64_t pause_begun = 0;
    int64_t downtime_until = -1;
    double north = 0.0;
    double east = 0.0;
    size_t thinned = 0;
    int64_t last_dump_s = -100;
    uint64_t detour_after = 0;

    // One location. The first step after a start writes the dump, and so does every sixth second from then
    // on; the dump holds the ride as it stood before the step, whatever was thinned, dropped or restored.
    auto step = [&](const location& fix, int64_t second) {
        const bool dump_due = second - last_dump_s >= 6;
        std::vector<taximeter_point> kept_before;
        std::vector<time_interval> downtime_before;
        if (dump_due) {
            kept_before = meter->points();
            downtime_before = downtime_of(*meter);
        }
        const bool detour = fix.delivery_time % 1000 == 20;
        const size_t kept = detour ? meter->points().size() : 0;
        meter->on_location(fix);
        thinned += detour && kept >= 2 && meter->points().size() == kept ? 1 : 0;
        if (dump_due) {
            last_dump_s = second;
            const std::string bytes = dump_file::read(tax_dump::max_size).value_or("");
            tax_dump expected;
            expected.order_id = u"A1";
            expected.start_time = ride_start_ms;
            expected.points.assign(kept_before.begin(), kept_before.end());
            expected.downtime = downtime_before;
            ASSERT_EQ(bytes, expected.encode()) << "the dump of second " << second;
        }
    };

    for (int64_t second = 1; second <= ride_seconds; ++second) {
        set_time(second);
        const uint64_t delivered = static_cast<uint64_t>(ride_start_ms + second * 1000);

        if (second == ride_seconds / 2) {
            tariff = c.replacement;
            const tariff_params replaced = make_tariff(tariff);
            meter->set_tariff(&replaced);
        }
        if (second == ride_seconds * 3 / 4) {
            // The program restarts: the pauses and an open downtime are not in the dump.
            meter.reset();
            meter = std::make_unique<taximeter>();
            start(*meter, tariff);
            set_time(second);
            pauses.clear();
            pause_until = -1;
            downtime_until = -1;
            last_dump_s = -100;
            detour_after = 0;
        }

        if (pause_until < 0 && chance(1.0 / 200)) {
            meter->set_pause(1);
            pause_begun = second;
            pause_until = second + between(2, 60);
        } else if (pause_until == second) {
            meter->set_pause(0);
            pauses.push_back({static_cast<uint64_t>(ride_start_ms + pause_begun * 1000), delivered});
            pause_until = -1;
        }
        if (downtime_until < 0 && !meter->in_downtime() && chance(1.0 / 150)) {
            meter->begin_downtime();
            // Some end by hand before two minutes, some after; the rest end by speed or distance.
            downtime_until = chance(0.3) ? second + between(20, 119) : chance(0.5) ? second + between(121, 300) : 0;
        } else if (downtime_until == second) {
            meter->end_downtime();
            downtime_until = -1;
        }

        location fix;
        if (detour_after != 0) {
            // Stamped 20 ms after the fix before, further on: that one becomes a detour and is thinned out,
            // after the dump of this second has saved it.
            north += 12.0;
            fix = location_at(north, 40, 5, detour_after + 20);
        } else if (meter->in_downtime() && !chance(0.02)) {
            // Standing: the fix wanders a few metres, now and then far enough to be kept, and now and then
            // it comes stamped ahead of the clock, past where the downtime ends for now.
            fix = location_at(north + static_cast<double>(between(-8, 8)), 0, 5,
                              delivered + (chance(0.1) ? 2000 : 0));
        } else {
            north += static_cast<double>(between(0, 20));
            fix = location_at(north, static_cast<float>(between(0, 60)), chance(0.05) ? 9.0f : 5.0f, delivered);
            if (chance(0.01)) {
                fix.latitude = latitude_at(north + 50000.0); // a jump
            }
        }
        detour_after = 0;
        east += chance(0.1) ? 0.0001 : 0.0;
        fix.longitude = base_longitude + east;
        step(fix, second);
        if (HasFatalFailure()) {
            return;
        }
        if (downtime_until == 0 && !meter->in_downtime()) {
            downtime_until = -1;
        }

        if (chance(0.02)) {
            // A second fix 20 ms later in the same second, further on: the one before is thinned out at once.
            location further = location_at(north + 12.0, 40, 5, fix.delivery_time + 20);
            further.longitude = fix.longitude;
            step(further, second);
        } else if (chance(0.03)) {
            detour_after = fix.delivery_time;
        }

        if (second % 10 == 0 || second == ride_seconds) {
            expect_as_walked_whole(*meter, pauses, tariff, second);
            if (HasFailure()) {
                return;
            }
        }
    }
    EXPECT_GT(thinned, 0u);
    EXPECT_GT(meter->points().size(), 200u);
}

INSTANTIATE_TEST_SUITE_P(rides, long_ride_test, ::testing::ValuesIn(long_ride_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zel::gps::testing
