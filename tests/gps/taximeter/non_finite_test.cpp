// Locations and dumps that carry NaN or an infinity, as a broken receiver or a damaged file gives them, and
// locations beyond a pole or the date line, as any source may give them: the location is dropped with one log
// line and the ride is priced as if it had never come; a dump holding NaN or an infinity is refused.
#include "gps/taximeter/tax_dump.h"
#include "tests/gps/taximeter/taximeter_fixture.h"
#include "tests/support/log_capture.h"

#include <cmath>
#include <functional>
#include <limits>

namespace zel::gps::testing {
namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf_value = std::numeric_limits<double>::infinity();

struct spoilt_field {
    const char* name;
    std::function<void(location&)> spoil;
};

std::vector<spoilt_field> spoilt_fields() {
    return {
        {"latitude NaN", [](location& l) { l.latitude = nan_value; }},
        {"latitude +inf", [](location& l) { l.latitude = inf_value; }},
        {"latitude -inf", [](location& l) { l.latitude = -inf_value; }},
        {"longitude NaN", [](location& l) { l.longitude = nan_value; }},
        {"longitude +inf", [](location& l) { l.longitude = inf_value; }},
        {"speed NaN", [](location& l) { l.speed = static_cast<float>(nan_value); }},
        {"speed +inf", [](location& l) { l.speed = static_cast<float>(inf_value); }},
        {"speed -inf", [](location& l) { l.speed = static_cast<float>(-inf_value); }},
        {"accuracy NaN", [](location& l) { l.accuracy = static_cast<float>(nan_value); }},
        {"accuracy -inf", [](location& l) { l.accuracy = static_cast<float>(-inf_value); }},
        {"everything NaN", [](location& l) {
             l.latitude = l.longitude = nan_value;
             l.speed = l.accuracy = static_cast<float>(nan_value);
         }},
    };
}

// Where the spoilt location falls in a ride: the rides before and after it, and its second.
struct placement {
    const char* name;
    ride before;
    int64_t at_s;
    ride after;
};

std::vector<placement> placements() {
    return {
        {"first fix", {}, 1, steady(2, 20, 10, 10, 10)},
        {"mid-ride", steady(1, 10, 0, 10, 10), 11, steady(12, 20, 110, 10, 10)},
        // A long outage makes the jump test let through what half the earth away would be.
        {"after an outage", steady(1, 10, 0, 10, 10), 1000, steady(1001, 1010, 100, 10, 10)},
    };
}

const tariff_recipe split_tariff{.per_km = 10, .per_minute = 60, .downtime_per_minute = 60};

struct ride_figures {
    size_t points;
    float distance;
    uint64_t charged;
    float total;
    float time_cost;
    float distance_cost;
};

class non_finite_test : public taximeter_test {
protected:
    ride_figures figures_at(taximeter& meter, int64_t end_s) {
        set_time(end_s);
        meter.recompute();
        return {meter.points().size(), meter.distance(), meter.charged_distance(), meter.cost_total(),
                meter.cost_time(), meter.cost_distance()};
    }

    void expect_dropped(const std::vector<spoilt_field>& fields);

    static size_t count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    }
};

void expect_same(const ride_figures& got, const ride_figures& want, const std::string& where) {
    EXPECT_EQ(got.points, want.points) << where;
    EXPECT_TRUE(std::isfinite(got.distance) && std::isfinite(got.total)) << where;
    EXPECT_NEAR(got.distance, want.distance, 1e-3) << where;
    EXPECT_EQ(got.charged, want.charged) << where;
    EXPECT_NEAR(got.total, want.total, 1e-3) << where;
    EXPECT_NEAR(got.time_cost, want.time_cost, 1e-3) << where;
    EXPECT_NEAR(got.distance_cost, want.distance_cost, 1e-3) << where;
}

// Each spoilt location at each placement: dropped with one log line, the ride's figures as without it, and
// the dump written afterwards resumes with numbers.
void non_finite_test::expect_dropped(const std::vector<spoilt_field>& fields) {
    for (const placement& place : placements()) {
        const int64_t end_s = place.after.back().at_s;
        ride_figures clean{};
        {
            taximeter meter;
            start(meter, split_tariff);
            play(meter, place.before + place.after);
            clean = figures_at(meter, end_s);
            meter.stop();
        }
        ASSERT_GT(clean.distance, 0.0f) << place.name;

        for (const spoilt_field& field : fields) {
            const std::string where = std::string(place.name) + ", " + field.name;
            zel::test::log_capture log;
            {
                taximeter meter;
                start(meter, split_tariff);
                play(meter, place.before);
                set_time(place.at_s);
                location bad = location_at(5000, 10, 5, static_cast<uint64_t>(ride_start_ms + place.at_s * 1000));
                field.spoil(bad);
                meter.on_location(bad);
                EXPECT_TRUE(std::isfinite(meter.cost_total())) << where;
                play(meter, place.after);
                expect_same(figures_at(meter, end_s), clean, where);
                EXPECT_EQ(count(log.text(), "location dropped"), 1u) << where;
            }
            // The dump holds only numbers, and a ride resumed from it prices with numbers.
            const std::string bytes = read_bytes(dump_file::path());
            std::string error;
            EXPECT_TRUE(tax_dump::decode(bytes, &error)) << where << ": " << error;
            taximeter resumed;
            start(resumed, split_tariff);
            EXPECT_FALSE(resumed.points().empty()) << where;
            const ride_figures after_restart = figures_at(resumed, end_s);
            EXPECT_TRUE(std::isfinite(after_restart.total) && std::isfinite(after_restart.distance)) << where;
            EXPECT_LE(after_restart.distance, clean.distance + 1e-3f) << where;
            resumed.stop();
        }
    }
}

TEST_F(non_finite_test, a_location_that_is_not_a_number_is_dropped_and_the_ride_goes_on_as_without_it) {
    expect_dropped(spoilt_fields());
}

TEST_F(non_finite_test, a_location_beyond_a_pole_or_the_date_line_is_dropped_and_the_ride_goes_on_as_without_it) {
    expect_dropped({
        {"latitude 91.5", [](location& l) { l.latitude = 91.5; }},
        {"latitude -90.000001", [](location& l) { l.latitude = -90.000001; }},
        {"longitude 720", [](location& l) { l.longitude = 720.0; }},
        {"longitude 180.5", [](location& l) { l.longitude = 180.5; }},
        {"longitude -180.5", [](location& l) { l.longitude = -180.5; }},
        {"both far off",
         [](location& l) {
             l.latitude = 1.0e6;
             l.longitude = -1.0e9;
         }},
    });
}

TEST_F(non_finite_test, a_dump_holding_a_value_that_is_not_a_number_is_refused) {
    tax_dump good;
    good.order_id = u"A1";
    good.start_time = ride_start_ms;
    for (int i = 0; i < 3; ++i) {
        good.points.push_back(location_at(i * 100.0, 36, 5, ride_start_ms + (i + 1) * 1000));
    }
    ASSERT_TRUE(tax_dump::decode(good.encode(), nullptr));

    for (const spoilt_field& field : spoilt_fields()) {
        tax_dump spoilt = good;
        field.spoil(spoilt.points[1]);
        const std::string bytes = spoilt.encode();
        EXPECT_FALSE(tax_dump::decode(bytes, nullptr)) << field.name;

        zel::test::log_capture log;
        write_bytes(dump_file::path(), bytes);
        taximeter meter;
        start(meter, split_tariff);
        EXPECT_TRUE(meter.points().empty()) << field.name;
        EXPECT_NE(log.text().find("tax_dump.bin ignored"), std::string::npos) << field.name;
        set_time(30);
        EXPECT_TRUE(std::isfinite(static_cast<float>(meter.recompute()))) << field.name;
        meter.stop();
    }
}

} // namespace
} // namespace zel::gps::testing
