// The taximeter's per-location step as the ride grows (10 minutes, 1 hour and 2 hours of fixes at one a
// second, every fix kept, half of the stretches below the speed limit, two downtimes and a pause), and the
// dump write measured apart. Goal: a step below 1 ms at 2 hours.
#include "foundation/app_paths.h"
#include "foundation/manual_clock.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/tax_dump.h"
#include "gps/taximeter/taximeter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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
