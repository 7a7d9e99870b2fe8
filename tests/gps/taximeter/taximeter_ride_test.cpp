// Rides as tables of timed locations and actions, priced at their last second and checked against figures
// computed by hand. Every tariff has base price 50; a price per minute of 60 makes a charged second cost 1.
#include "tests/gps/taximeter/taximeter_fixture.h"

namespace zel::gps::testing {
namespace {

struct figures {
    double distance_m;
    double charged_m;
    uint64_t elapsed_s;
    uint64_t downtime_s;
    float distance_cost;
    float time_cost;
    float downtime_cost;
    float total;
};

struct ride_case {
    const char* name;
    tariff_recipe tariff;
    ride rows;
    int64_t end_s;
    figures expected;
};

const tariff_recipe by_distance{.per_km = 10};
const tariff_recipe by_time{.per_minute = 60};
const tariff_recipe both{.per_km = 10, .per_minute = 60};

std::vector<ride_case> ride_cases() {
    return {
        // Standing still is neither distance nor, without included time, time: waiting is declared as downtime.
        {"stationary_by_time", by_time, steady(1, 100, 0, 0, 0), 100, {0, 0, 100, 0, 0, 0, 0, 50}},
        {"steady_by_distance", by_distance, steady(1, 100, 0, 10, 36), 100, {990, 990, 100, 0, 9.9f, 0, 0, 59.9f}},
        {"steady_fast_both", both, steady(1, 100, 0, 10, 36), 100, {990, 990, 100, 0, 9.9f, 0, 0, 59.9f}},
        // 10 km/h against the limit of 20: half of each stretch by distance, half of its seconds by time.
        {"steady_slow_both", both, steady(1, 100, 0, 10, 10), 100, {990, 495, 100, 0, 4.95f, 49.5f, 0, 104.45f}},
        {"steady_by_time", by_time, steady(1, 100, 0, 10, 36), 100, {990, 990, 100, 0, 0, 99, 0, 149}},
        // The 61 s stop is priced with the stretch that ends it, split by the speed of its end (10 km/h).
        {"stop_and_go_both",
         both,
         steady(1, 10, 10, 10, 36) + steady(11, 70, 100, 0, 0) + fix_at(71, 106, 10) + steady(72, 80, 116, 10, 36),
         80,
         {186, 183, 80, 0, 1.83f, 30.5f, 0, 82.33f}},
        // Metres per millisecond above 40 is a jump: 50 km in a second is dropped, 30 km in two seconds kept; so
        // is a fix at another place with the delivery time of the last kept one, and one 3 m away.
        {"jumps_by_distance",
         by_distance,
         ride{fix_at(1, 0, 36),
              fix_at(2, 10, 36),
              fix_at(3, 50020, 36),
              fix_at(4, 20, 36),
              {event::fix, 5, 30, 36, 5.0f, 4},
              fix_at(6, 30020, 36),
              fix_at(7, 30023, 36)},
         7,
         {30020, 30020, 7, 0, 300.2f, 0, 0, 350.2f}},
        // Seconds 10 to 15 paused: five of the 19 stretches are not charged.
        {"pause_by_time",
         by_time,
         steady(1, 10, 0, 10, 36) + action(event::pause_on, 10) + steady(11, 14, 100, 10, 36) +
             action(event::pause_off, 15) + steady(15, 20, 140, 10, 36),
         20,
         {190, 190, 20, 0, 0, 14, 0, 64}},
        // Downtime from second 5 until a fix at 36 km/h ends it at 201: 196 s paid whole, not charged as time.
        {"downtime_by_time",
         {.per_minute = 60, .downtime_per_minute = 60},
         steady(1, 5, 0, 10, 36) + action(event::begin_downtime, 5) + steady(6, 200, 40, 0, 0) +
             steady(201, 210, 50, 10, 36),
         210,
         {140, 140, 210, 196, 0, 13, 196, 259}},
        // Ended after 119 s: dropped, never paid, and its time is moving time again.
        {"short_downtime_by_time",
         {.per_minute = 60, .downtime_per_minute = 60},
         steady(1, 5, 0, 10, 36) + action(event::begin_downtime, 5) + steady(6, 124, 40, 0, 0) +
             action(event::end_downtime, 124) + steady(125, 130, 50, 10, 36),
         130,
         {100, 100, 130, 0, 0, 129, 0, 179}},
        // The first 505 m are in the base price; the stretch that crosses them is charged whole.
        {"included_distance_both",
         {.per_km = 10, .per_minute = 60, .included_km = 0.505f},
         steady(1, 100, 0, 10, 36),
         100,
         {990, 490, 100, 0, 4.9f, 0, 0, 54.9f}},
        // One included minute: the stretches ending at seconds 60 to 100 are charged.
        {"included_time_by_time",
         {.per_minute = 60, .included_minutes = 1},
         steady(1, 100, 0, 10, 36),
         100,
         {990, 410, 100, 0, 0, 41, 0, 91}},
        // The included minute counts clock time: the pause from 10 to 70 uses it up.
        {"included_time_spent_in_pause",
         {.per_minute = 60, .included_minutes = 1},
         steady(1, 10, 0, 10, 36) + action(event::pause_on, 10) + action(event::pause_off, 70) +
             steady(70, 100, 100, 10, 36),
         100,
         {400, 310, 100, 0, 0, 30, 0, 80}},
        // No location at all: the moving time past the included minute.
        {"included_time_without_fix",
         {.per_minute = 60, .included_minutes = 1},
         ride{},
         100,
         {0, 0, 100, 0, 0, 40, 0, 90}},
        {"cap_by_time",
         {.per_minute = 60, .cap = 30},
         steady(1, 100, 0, 10, 36),
         100,
         {990, 990, 100, 0, 0, 30, 0, 80}},
        // Split until the time cost reaches 20 (after 40 stretches), by distance only from then on.
        {"cap_slow_both",
         {.per_km = 10, .per_minute = 60, .cap = 20},
         steady(1, 100, 0, 10, 10),
         100,
         {990, 790, 100, 0, 7.9f, 20, 0, 77.9f}},
        {"cap_zero_slow_both",
         {.per_km = 10, .per_minute = 60, .cap = 0},
         steady(1, 100, 0, 10, 10),
         100,
         {990, 990, 100, 0, 9.9f, 0, 0, 59.9f}},
        {"speed_limit_zero_slow_both",
         {.per_km = 10, .per_minute = 60, .speed_limit = 0},
         steady(1, 100, 0, 10, 10),
         100,
         {990, 990, 100, 0, 9.9f, 0, 0, 59.9f}},
    };
}

class ride_test : public taximeter_test, public ::testing::WithParamInterface<ride_case> {};

TEST_P(ride_test, figures_at_the_last_second) {
    const ride_case& c = GetParam();
    taximeter meter;
    start(meter, c.tariff);
    play(meter, c.rows);
    set_time(c.end_s);
    const double total = meter.recompute();

    const figures& want = c.expected;
    EXPECT_NEAR(meter.distance(), want.distance_m, 1e-3);
    EXPECT_NEAR(static_cast<double>(meter.charged_distance()), want.charged_m, 1.0);
    EXPECT_EQ(meter.elapsed_seconds(), want.elapsed_s);
    EXPECT_EQ(meter.downtime_seconds(), want.downtime_s);
    EXPECT_NEAR(meter.cost_distance(), want.distance_cost, 1e-3);
    EXPECT_NEAR(meter.cost_time(), want.time_cost, 1e-3);
    EXPECT_NEAR(meter.cost_downtime(), want.downtime_cost, 1e-3);
    EXPECT_NEAR(meter.cost_total(), want.total, 1e-3);
    EXPECT_NEAR(total, want.total, 1e-3);
    EXPECT_FLOAT_EQ(meter.base_price(), c.tariff.base);
    // A bill built from the getters adds up to the total.
    EXPECT_NEAR(meter.base_price() + meter.cost_downtime() + meter.cost_time() + meter.cost_distance(), want.total,
                1e-3);
}

INSTANTIATE_TEST_SUITE_P(rides, ride_test, ::testing::ValuesIn(ride_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(taximeter_test, costs_lag_one_location_behind_the_distance) {
    taximeter meter;
    start(meter, by_distance);
    play(meter, steady(1, 2, 0, 10, 36));
    EXPECT_NEAR(meter.distance(), 10.0, 1e-6);
    EXPECT_FLOAT_EQ(meter.cost_distance(), 0.0f);
    EXPECT_FLOAT_EQ(meter.cost_total(), 50.0f);
    play(meter, {fix_at(3, 20, 36)});
    EXPECT_NEAR(meter.distance(), 20.0, 1e-6);
    EXPECT_NEAR(meter.cost_distance(), 0.1f, 1e-6);
    EXPECT_NEAR(meter.cost_total(), 50.1f, 1e-5);
}

TEST_F(taximeter_test, points_carry_the_charging_figures) {
    taximeter meter;
    start(meter, {.per_km = 10, .per_minute = 60, .cap = 20});
    play(meter, steady(1, 100, 0, 10, 10));
    const std::vector<taximeter_point> points = meter.points();
    ASSERT_EQ(points.size(), 100u);
    // The first point's figures are never set.
    EXPECT_EQ(points[0].time_since_start, 0u);
    EXPECT_EQ(points[0].inclusion_used, 0);
    // Second 41 ends the 40th split stretch (time cost 20); from second 42 the cap holds and only distance counts.
    const taximeter_point& last_split = points[40];
    EXPECT_EQ(last_split.time_since_start, 41000u);
    EXPECT_EQ(last_split.split, 1);
    EXPECT_EQ(last_split.cap_reached, 0);
    EXPECT_NEAR(last_split.time_cost_at_point, 20.0f, 1e-4);
    EXPECT_NEAR(last_split.distance_cost_at_point, 2.0f, 1e-4);
    const taximeter_point& first_capped = points[41];
    EXPECT_EQ(first_capped.split, 0);
    EXPECT_EQ(first_capped.cap_reached, 1);
    EXPECT_EQ(first_capped.inclusion_used, 1);
    EXPECT_NEAR(first_capped.distance_at_point, 410.0f, 1e-3);
    EXPECT_NEAR(first_capped.distance_cost_at_point, 2.1f, 1e-4);
    EXPECT_EQ(points[99].cap_reached, 1);
}

} // namespace
} // namespace zel::gps::testing
