// What the taximeter tests share: a stepped clock, a temporary program folder, tariffs written as designated
// initialisers, and rides as tables of timed events along one meridian (so that distances are exact:
// metres north are degrees of latitude times the sphere's radius).
#pragma once

#include "foundation/app_paths.h"
#include "foundation/manual_clock.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/taximeter.h"
#include "tests/support/temp_app_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zel::gps::testing {

// The start of every ride, on a whole second.
constexpr int64_t ride_start_ms = 1'600'000'000'000LL;
constexpr double base_latitude = 55.75;
constexpr double base_longitude = 37.62;

inline double latitude_at(double metres_north) {
    return base_latitude + metres_north / (6372795.0 * 0.017453292519943295);
}

struct tariff_recipe {
    float base = 50.0f;
    float per_km = 0.0f;
    float per_minute = 0.0f;
    int32_t speed_limit = 20;
    float cap = -1.0f;
    float included_km = 0.0f;
    float included_minutes = 0.0f;
    float downtime_per_minute = 0.0f;
};

inline tariff_params make_tariff(const tariff_recipe& recipe) {
    tariff_params tariff;
    tariff.set_base_price(recipe.base);
    tariff.set_price_per_km(recipe.per_km);
    tariff.set_price_per_minute(recipe.per_minute);
    tariff.set_speed_limit(recipe.speed_limit);
    tariff.set_time_cost_cap(recipe.cap);
    tariff.set_included_distance(recipe.included_km);
    tariff.set_included_time(recipe.included_minutes);
    tariff.set_downtime_price(recipe.downtime_per_minute);
    return tariff;
}

// One row of a ride: at a second since the start, a location or a driver's action.
struct event {
    enum kind_t { fix, begin_downtime, end_downtime, pause_on, pause_off } kind = fix;
    int64_t at_s = 0;
    double north_m = 0.0;
    float speed = 0.0f;
    float accuracy = 5.0f;
    int64_t delivered_s = -1; // the fix's delivery time when not at_s
};

using ride = std::vector<event>;

inline event fix_at(int64_t at_s, double north_m, float speed, float accuracy = 5.0f) {
    return {event::fix, at_s, north_m, speed, accuracy};
}
inline event action(event::kind_t kind, int64_t at_s) {
    return {kind, at_s};
}
// A fix every second from from_s to to_s, step_m further north each second.
inline ride steady(int64_t from_s, int64_t to_s, double start_m, double step_m, float speed) {
    ride rows;
    for (int64_t t = from_s; t <= to_s; ++t) {
        rows.push_back(fix_at(t, start_m + step_m * static_cast<double>(t - from_s), speed));
    }
    return rows;
}
inline ride operator+(ride a, const ride& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline ride operator+(ride a, const event& b) {
    a.push_back(b);
    return a;
}

class taximeter_test : public ::testing::Test {
protected:
    void set_time(int64_t at_s) {
        clock_.set_wall_ms(ride_start_ms + at_s * 1000);
    }

    static location location_at(double north_m, float speed, float accuracy, uint64_t delivered_ms) {
        location fix;
        fix.latitude = latitude_at(north_m);
        fix.longitude = base_longitude;
        fix.speed = speed;
        fix.accuracy = accuracy;
        fix.satellites = 7;
        fix.course = 90;
        fix.delivery_time = delivered_ms;
        return fix;
    }

    void play(taximeter& meter, const ride& rows) {
        for (const event& row : rows) {
            set_time(row.at_s);
            switch (row.kind) {
            case event::fix: {
                const int64_t delivered = row.delivered_s >= 0 ? row.delivered_s : row.at_s;
                meter.on_location(location_at(row.north_m, row.speed, row.accuracy,
                                              static_cast<uint64_t>(ride_start_ms + delivered * 1000)));
                break;
            }
            case event::begin_downtime:
                meter.begin_downtime();
                break;
            case event::end_downtime:
                meter.end_downtime();
                break;
            case event::pause_on:
                meter.set_pause(1);
                break;
            case event::pause_off:
                meter.set_pause(0);
                break;
            }
        }
    }

    // A running taximeter for order_id with the tariff, started at second 0.
    void start(taximeter& meter, const tariff_recipe& recipe, const std::wstring& order_id = L"A1") {
        const tariff_params tariff = make_tariff(recipe);
        meter.set_tariff(&tariff);
        set_time(0);
        meter.start(order_id);
    }

    static std::string read_bytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }

    manual_clock clock_{ride_start_ms};
    zel::test::temp_app_folder folder_;
};

} // namespace zel::gps::testing
