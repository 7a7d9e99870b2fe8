// The taximeter's per-location step as the ride grows (10 minutes, 1 hour and 2 hours of fixes at one a
// second, every fix kept, half of the stretches below the speed limit, two downtimes and a pause), and the
// dump write measured apart. Goal: a step below 1 ms at 2 hours.
//
// The step that keeps a new point, at 1 hour and at 10 hours of ride with 24 waiting periods: goal, the
// 10-hour step within 1.5 times the 1-hour step and under 20 us. And the longest time a screen's read of a
// figure waits while another thread runs the steps of a 10-hour ride and writes its dump every sixth step:
// goal, under 1 ms (the counter max_wait_us).
#include "foundation/app_paths.h"
#include "foundation/manual_clock.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/tax_dump.h"
#include "gps/taximeter/taximeter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace zel;
using namespace zel::gps;

constexpr int64_t start_ms = 1'600'000'000'000LL;

class temp_folder {
public:
    temp_folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "taximeter_bench_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
        set_app_folder(path_.wstring());
    }
    ~temp_folder() {
        set_app_folder(L"");
        std::filesystem::remove_all(path_);
    }

private:
    std::filesystem::path path_;
};

tax_dump ride_of(int64_t seconds) {
    tax_dump dump;
    dump.order_id = u"100500";
    dump.start_time = start_ms;
    for (int64_t t = 1; t <= seconds; ++t) {
        location fix;
        fix.latitude = 55.75 + 0.0001 * static_cast<double>(t); // about 11 m a second
        fix.longitude = 37.62;
        fix.speed = t % 2 == 0 ? 10.0f : 40.0f;
        fix.accuracy = 5.0f;
        fix.delivery_time = static_cast<uint64_t>(start_ms + t * 1000);
        dump.points.push_back(fix);
    }
    dump.downtime.push_back(
        {static_cast<uint64_t>(start_ms + seconds * 200), static_cast<uint64_t>(start_ms + seconds * 250)});
    dump.downtime.push_back(
        {static_cast<uint64_t>(start_ms + seconds * 600), static_cast<uint64_t>(start_ms + seconds * 610)});
    return dump;
}

void location_step(benchmark::State& state) {
    const int64_t seconds = state.range(0);
    temp_folder folder;
    manual_clock clock(start_ms);
    tariff_params tariff;
    tariff.set_base_price(50);
    tariff.set_price_per_km(10);
    tariff.set_price_per_minute(5);
    tariff.set_speed_limit(20);
    tariff.set_time_cost_cap(-1);
    tariff.set_included_distance(1);
    tariff.set_downtime_price(5);

    const tax_dump ride = ride_of(seconds);
    dump_file::write(ride.encode());
    taximeter meter;
    meter.set_tariff(&tariff);
    meter.start(L"100500");
    clock.set_wall_ms(start_ms + seconds * 300);
    meter.set_pause(1);
    clock.set_wall_ms(start_ms + seconds * 320);
    meter.set_pause(0);

    // The clock stays at the last fix, so no dump falls into the measured steps; the fix repeats the last
    // position, so the ride keeps its length.
    clock.set_wall_ms(start_ms + seconds * 1000);
    location fix = ride.points.back();
    meter.on_location(fix); // the first step after a start writes the dump
    for (auto _ : state) {
        meter.on_location(fix);
    }
    if (meter.points().size() != static_cast<size_t>(seconds)) {
        state.SkipWithError("the ride lost points");
    }
    state.counters["points"] = static_cast<double>(seconds);
    benchmark::DoNotOptimize(meter.cost_total());
}
BENCHMARK(location_step)->Arg(600)->Arg(3600)->Arg(7200)->Unit(benchmark::kMicrosecond);

// Fixes at one a second along a meridian, half of them below the speed limit, and 24 waiting periods of
// 125 seconds spread evenly over the ride (every one long enough to be paid).
tax_dump ride_with_waits(int64_t seconds) {
    tax_dump dump = ride_of(seconds);
    dump.downtime.clear();
    for (int64_t i = 0; i < 24; ++i) {
        const int64_t begin = start_ms + (i * seconds / 24 + 10) * 1000;
        dump.downtime.push_back({static_cast<uint64_t>(begin), static_cast<uint64_t>(begin + 125'000)});
    }
    return dump;
}

tariff_params bench_tariff() {
    tariff_params tariff;
    tariff.set_base_price(50);
    tariff.set_price_per_km(10);
    tariff.set_price_per_minute(5);
    tariff.set_speed_limit(20);
    tariff.set_time_cost_cap(-1);
    tariff.set_included_distance(1);
    tariff.set_downtime_price(5);
    return tariff;
}

// The location of second t of a ride that goes on past the dumped one.
location fix_of(int64_t t) {
    location fix;
    fix.latitude = 55.75 + 0.0001 * static_cast<double>(t);
    fix.longitude = 37.62;
    fix.speed = t % 2 == 0 ? 10.0f : 40.0f;
    fix.accuracy = 5.0f;
    fix.delivery_time = static_cast<uint64_t>(start_ms + t * 1000);
    return fix;
}

// Every measured step keeps one more point, a second after the last. The wall clock stays at the end of the
// dumped ride, so no dump falls into the measured steps (dump_write measures it); 1000 steps add 17 minutes.
void kept_point_step(benchmark::State& state) {
    const int64_t seconds = state.range(0);
    temp_folder folder;
    manual_clock clock(start_ms);
    const tariff_params tariff = bench_tariff();
    dump_file::write(ride_with_waits(seconds).encode());
    taximeter meter;
    meter.set_tariff(&tariff);
    meter.start(L"100500");
    clock.set_wall_ms(start_ms + seconds * 1000);
    meter.on_location(fix_of(seconds)); // writes the dump, as the first step after a start does
    int64_t t = seconds;
    for (auto _ : state) {
        meter.on_location(fix_of(++t));
    }
    if (meter.points().size() != static_cast<size_t>(t)) {
        state.SkipWithError("a fix was not kept");
    }
    state.counters["points"] = static_cast<double>(t);
    benchmark::DoNotOptimize(meter.cost_total());
}
BENCHMARK(kept_point_step)
    ->Arg(3600)
    ->Arg(36000)
    ->Iterations(1000)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// One iteration: the GPS thread runs 600 steps of a 10-hour ride as fast as it can, a second ahead each, so
// the dump (1.4 MB) is written and flushed every sixth step, while this thread reads figures as the screens do.
// With argument 0 the GPS thread only moves the clock: what remains is the scheduler's own share of the
// longest wait on a busy machine.
void figure_read_wait(benchmark::State& state) {
    const bool stepping = state.range(0) != 0;
    temp_folder folder;
    manual_clock clock(start_ms);
    const tariff_params tariff = bench_tariff();
    constexpr int64_t seconds = 36000;
    dump_file::write(ride_with_waits(seconds).encode());
    taximeter meter;
    meter.set_tariff(&tariff);
    meter.start(L"100500");
    meter.recompute();

    using steady = std::chrono::steady_clock;
    double max_wait_us = 0.0;
    uint64_t reads = 0;
    uint64_t reads_over_1ms = 0;
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::thread gps([&] {
            for (int64_t t = seconds + 1; t <= seconds + 600; ++t) {
                clock.set_wall_ms(start_ms + t * 1000);
                if (stepping) {
                    meter.on_location(fix_of(t));
                } else {
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                }
            }
            done = true;
        });
        while (!done) {
            const steady::time_point before = steady::now();
            benchmark::DoNotOptimize(meter.cost_total());
            benchmark::DoNotOptimize(meter.distance());
            benchmark::DoNotOptimize(meter.downtime_window());
            const double us = std::chrono::duration<double, std::micro>(steady::now() - before).count();
            max_wait_us = std::max(max_wait_us, us);
            reads_over_1ms += us > 1000.0 ? 1 : 0;
            ++reads;
        }
        gps.join();
        meter.stop();
    }
    state.counters["max_wait_us"] = max_wait_us;
    state.counters["reads"] = static_cast<double>(reads);
    state.counters["over_1ms"] = static_cast<double>(reads_over_1ms);
}
BENCHMARK(figure_read_wait)->ArgName("steps")->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

void dump_write(benchmark::State& state) {
    const int64_t seconds = state.range(0);
    temp_folder folder;
    const tax_dump ride = ride_of(seconds);
    for (auto _ : state) {
        if (!dump_file::write(ride.encode())) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ride.encode().size()));
}
BENCHMARK(dump_write)->Arg(600)->Arg(3600)->Arg(7200)->Unit(benchmark::kMillisecond);

} // namespace
