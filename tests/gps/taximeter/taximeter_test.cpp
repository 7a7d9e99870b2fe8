// The taximeter's life: start, restart, stop, tariff changes, the kept points, downtime and pause as the
// screens drive and read them, the export, and the tariff replaced while another thread prices with it.
#include "tests/gps/taximeter/taximeter_fixture.h"

#include <atomic>
#include <thread>

namespace zel::gps::testing {
namespace {

const tariff_recipe by_distance{.per_km = 10};
const tariff_recipe by_time{.per_minute = 60};

TEST_F(taximeter_test, without_a_tariff_every_figure_reads_zero) {
    taximeter meter;
    EXPECT_FALSE(meter.is_running());
    EXPECT_FALSE(meter.has_tariff());
    meter.set_tariff(nullptr);
    EXPECT_FALSE(meter.has_tariff());
    EXPECT_EQ(meter.self(), &meter);

    // Not running: locations are ignored and nothing is written.
    play(meter, steady(1, 10, 0, 10, 36));
    EXPECT_TRUE(meter.points().empty());
    EXPECT_FALSE(std::filesystem::exists(dump_file::path()));

    set_time(0);
    meter.start(L"A1");
    play(meter, steady(1, 100, 0, 10, 10) + action(event::begin_downtime, 100));
    set_time(300);
    meter.recompute();
    EXPECT_NEAR(meter.distance(), 990.0, 1e-3);
    EXPECT_FLOAT_EQ(meter.base_price(), 0.0f);
    EXPECT_FLOAT_EQ(meter.cost_total(), 0.0f);
    EXPECT_FLOAT_EQ(meter.cost_distance(), 0.0f);
    EXPECT_FLOAT_EQ(meter.cost_time(), 0.0f);
    EXPECT_FLOAT_EQ(meter.cost_downtime(), 0.0f);
    EXPECT_EQ(meter.downtime_window(), std::make_pair(200000, 120000));
    EXPECT_EQ(meter.zero(), 0u);

    // A tariff set later is kept; a null one does not remove it.
    const tariff_params tariff = make_tariff(by_distance);
    meter.set_tariff(&tariff);
    meter.set_tariff(nullptr);
    EXPECT_TRUE(meter.has_tariff());
    EXPECT_FLOAT_EQ(meter.base_price(), 50.0f);
}

TEST_F(taximeter_test, start_for_the_same_order_changes_nothing_and_another_order_restarts) {
    taximeter meter;
    start(meter, by_distance, L"A1");
    play(meter, steady(1, 20, 0, 10, 36));
    set_time(30);
    meter.start(L"A1");
    EXPECT_EQ(meter.points().size(), 20u);
    EXPECT_EQ(meter.elapsed_seconds(), 30u);

    meter.start(L"B2");
    EXPECT_TRUE(meter.is_running());
    EXPECT_EQ(meter.order_id(), L"B2");
    EXPECT_TRUE(meter.points().empty());
    EXPECT_EQ(meter.elapsed_seconds(), 0u);
    EXPECT_FLOAT_EQ(meter.distance(), 0.0f);
    EXPECT_FLOAT_EQ(meter.cost_total(), 0.0f);
}

TEST_F(taximeter_test, stop_deletes_the_dump_so_the_same_order_starts_empty) {
    taximeter meter;
    start(meter, by_distance, L"A1");
    play(meter, steady(1, 20, 0, 10, 36));
    ASSERT_TRUE(std::filesystem::exists(dump_file::path()));
    meter.stop();
    EXPECT_FALSE(meter.is_running());
    EXPECT_FALSE(std::filesystem::exists(dump_file::path()));
    EXPECT_TRUE(meter.points().empty());

    set_time(40);
    meter.start(L"A1");
    EXPECT_TRUE(meter.points().empty());
    EXPECT_EQ(meter.elapsed_seconds(), 0u);
}

TEST_F(taximeter_test, keeps_only_accurate_locations) {
    struct row {
        float accuracy;
        double north_m;
        bool latitude_zero;
        bool kept;
    };
    const row rows[] = {
        {7.0f, 10, false, true},
        {7.5f, 20, false, false},
        {5.0f, 30, true, false},
        {50.0f, 40, false, false},
    };
    for (const row& r : rows) {
        taximeter meter;
        start(meter, by_distance);
        play(meter, {fix_at(1, 0, 36)});
        set_time(2);
        location fix = location_at(r.north_m, 36, r.accuracy, ride_start_ms + 2000);
        if (r.latitude_zero) {
            fix.latitude = 0.0;
        }
        meter.on_location(fix);
        EXPECT_EQ(meter.points().size(), r.kept ? 2u : 1u) << "accuracy " << r.accuracy;
        meter.stop();
    }
}

// The middle point goes when it lies within 40 ms of the last and the angle at the first point is acute
// (degrees as they stand): ahead of the first point, not behind it.
TEST_F(taximeter_test, a_detour_is_a_middle_point_within_40_ms_ahead_of_the_first) {
    taximeter meter;
    auto point = [](double north_m, double east_deg, uint64_t ms) {
        taximeter_point p;
        p.latitude = latitude_at(north_m);
        p.longitude = base_longitude + east_deg;
        p.delivery_time = ms;
        return p;
    };
    const taximeter_point first = point(0, 0, 1000);
    const taximeter_point middle = point(50, 0.001, 1970);
    const taximeter_point behind = point(-50, 0, 1970);
    const taximeter_point last = point(100, 0, 2000);
    EXPECT_TRUE(meter.is_detour(last, middle, first));
    EXPECT_FALSE(meter.is_detour(last, behind, first));
    EXPECT_FALSE(meter.is_detour(point(100, 0, 2011), middle, first)); // 41 ms apart
}

TEST_F(taximeter_test, a_replaced_tariff_reprices_the_whole_ride) {
    taximeter meter;
    start(meter, by_distance);
    play(meter, steady(1, 50, 0, 10, 36));
    const tariff_params dearer = make_tariff({.base = 80, .per_km = 20});
    meter.set_tariff(&dearer);
    set_time(50);
    EXPECT_NEAR(meter.recompute(), 80 + 20 * 0.49, 1e-4);
}

struct downtime_row {
    float included_minutes;
    int64_t begun_s;
    int64_t now_s;
    std::pair<int32_t, int32_t> window;
    bool due;
    uint32_t open_seconds;
};

TEST_F(taximeter_test, downtime_figures_for_the_screens) {
    const downtime_row rows[] = {
        {0, 30, 149, {119000, 120000}, false, 119},
        {0, 30, 150, {120000, 120000}, true, 120},
        // Ten included minutes, downtime from minute 3: paid after the 7 included minutes left, and its
        // seconds count only once the included time is over.
        {10, 180, 599, {419000, 420000}, false, 0},
        {10, 180, 601, {421000, 420000}, true, 421},
        // 1.5 minutes truncate to 1: the threshold stays at two minutes.
        {1.5f, 30, 149, {119000, 120000}, false, 119},
        {1.5f, 30, 150, {120000, 120000}, true, 120},
    };
    for (const downtime_row& r : rows) {
        taximeter meter;
        start(meter, {.per_minute = 60, .included_minutes = r.included_minutes});
        set_time(r.begun_s);
        meter.begin_downtime();
        set_time(r.now_s);
        EXPECT_TRUE(meter.in_downtime());
        EXPECT_EQ(meter.downtime_window(), r.window) << r.included_minutes << " " << r.now_s;
        EXPECT_EQ(meter.downtime_due(), r.due) << r.included_minutes << " " << r.now_s;
        EXPECT_EQ(meter.open_downtime_seconds(), r.open_seconds) << r.included_minutes << " " << r.now_s;
        EXPECT_EQ(meter.downtime_seconds(), r.open_seconds);
        meter.end_downtime();
        EXPECT_FALSE(meter.in_downtime());
        EXPECT_EQ(meter.open_downtime_seconds(), 0u);
    }
}

// The switch may report its state again: an end with no downtime open drops nothing, even within two minutes
// of a short downtime's begin, and an end after a restart leaves the restored intervals alone.
TEST_F(taximeter_test, an_end_of_downtime_with_none_open_keeps_every_interval) {
    const tariff_recipe tariff{.per_minute = 60, .downtime_per_minute = 60};
    const ride before_restart = ride{action(event::begin_downtime, 10)} + steady(11, 200, 0, 0, 0) +
                                action(event::end_downtime, 200) + action(event::begin_downtime, 300) +
                                action(event::end_downtime, 350) + action(event::end_downtime, 360) +
                                action(event::end_downtime, 361) + fix_at(362, 0, 0);
    {
        taximeter meter;
        start(meter, tariff);
        play(meter, before_restart);
        EXPECT_EQ(meter.downtime_seconds(), 190u);
        set_time(370);
        meter.recompute();
        EXPECT_NEAR(meter.cost_downtime(), 190.0f, 1e-4);
    }
    taximeter meter;
    start(meter, tariff);
    play(meter, {action(event::end_downtime, 380)});
    EXPECT_EQ(meter.downtime_seconds(), 190u);
}

TEST_F(taximeter_test, a_pause_opens_once_and_closes_only_when_open) {
    taximeter meter;
    start(meter, by_time);
    // A close with nothing open, a second open that keeps the first begin (10), then the close at 15.
    play(meter, steady(1, 10, 0, 10, 36) + action(event::pause_off, 10) + action(event::pause_on, 10) +
                    steady(11, 12, 100, 10, 36) + action(event::pause_on, 12) + steady(13, 14, 120, 10, 36) +
                    action(event::pause_off, 15) + action(event::pause_off, 15) + steady(15, 20, 140, 10, 36));
    set_time(20);
    meter.recompute();
    EXPECT_NEAR(meter.cost_time(), 14.0f, 1e-4);
}

TEST_F(taximeter_test, export_gives_samples_where_the_charging_changes_and_the_track) {
    taximeter meter;
    start(meter, {.per_minute = 60, .cap = 30, .downtime_per_minute = 60}, L"A1");
    meter.set_tariff_strings(L"77", L"{}");
    play(meter, ride{fix_at(1, 0, 300.7f)} + steady(2, 100, 10, 10, 36) + action(event::begin_downtime, 100) +
                    steady(101, 230, 990, 0, 0) + action(event::end_downtime, 230));
    trip_export out;
    out.tax_data.driver_id = 9; // emptied first
    meter.export_trip(out);

    EXPECT_EQ(out.order_track.order_id, L"A1");
    ASSERT_EQ(out.order_track.items.size(), 100u);
    EXPECT_EQ(out.order_track.items[0].speed, 44u); // 300 km/h keeps its low 8 bits
    EXPECT_EQ(out.order_track.items[0].time, static_cast<uint64_t>(ride_start_ms + 1000));
    EXPECT_DOUBLE_EQ(out.order_track.items[0].latitude, latitude_at(0));
    EXPECT_EQ(out.order_track.items[99].speed, 36u);

    const tax_data_record& data = out.tax_data;
    EXPECT_EQ(data.order_id, L"A1");
    EXPECT_EQ(data.tariff_id, L"77");
    EXPECT_EQ(data.driver_id, 0);
    EXPECT_FLOAT_EQ(data.cost_idle, 130.0f);
    struct expected_sample {
        int64_t time;
        int32_t distance;
        uint16_t state;
        float cost_time;
    };
    const expected_sample want[] = {
        {0, 0, 0, 0},           // always first
        {2000, 10, 0x01, 1},    // the inclusion (none) is used up from the first stretch
        {32000, 310, 0x80, 30}, // the cap is reached; the pending sample of second 31 is dropped
        {100000, 990, 0, 30},   // the last point
        {230000, 990, 0, 30},   // closing, at now
        {100000, -1, 2, -1},    // downtime begins
        {230000, -1, 4, -1},    // and ends
    };
    ASSERT_EQ(data.samples.size(), std::size(want));
    for (size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(data.samples[i].time, want[i].time) << i;
        EXPECT_NEAR(data.samples[i].distance, want[i].distance, 1) << i; // truncated: 989.99.. gives 989
        EXPECT_EQ(data.samples[i].state, want[i].state) << i;
        EXPECT_NEAR(data.samples[i].cost_time, want[i].cost_time, 1e-4) << i;
        EXPECT_FLOAT_EQ(data.samples[i].cost_dist, i >= 5 ? -1.0f : 0.0f) << i;
    }
}

// The packet thread replaces the tariff and restarts orders while the GPS thread prices and the UI thread
// reads: the tariff in use stays alive (AddressSanitizer reports any use after free) and no figure tears.
TEST_F(taximeter_test, tariff_replaced_while_another_thread_prices) {
    taximeter meter;
    start(meter, by_distance);
    set_time(1);
    std::atomic<bool> done{false};
    std::thread gps([&] {
        for (int i = 0; i < 600; ++i) {
            meter.on_location(location_at(10.0 * (i % 400), 36, 5, ride_start_ms + 1000 * (i + 1)));
        }
        done = true;
    });
    std::thread ui([&] {
        while (!done) {
            const float total = meter.cost_total();
            EXPECT_TRUE(total == 0.0f || total >= 50.0f);
            EXPECT_FALSE(meter.order_id().empty());
        }
    });
    for (int i = 0; !done; ++i) {
        const tariff_params tariff = make_tariff({.base = 50.0f + static_cast<float>(i % 7), .per_km = 10});
        meter.set_tariff(&tariff);
        if (i % 50 == 0) {
            meter.start(i % 100 == 0 ? L"A1" : L"B2");
        }
    }
    gps.join();
    ui.join();
}

} // namespace
} // namespace zel::gps::testing
