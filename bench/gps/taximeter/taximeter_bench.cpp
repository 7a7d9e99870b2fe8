// The taximeter's per-location step as the ride grows, the longest wait of a screen's read for the taximeter's
// lock, and the dump write measured apart.
//
// Every case runs in a child process of its own (forked from a parent that has done nothing else), so that no
// case measures a heap, a cache or a clock that an earlier case left behind: the step's figure once depended
// on which cases had run before it in the same process.
//
// A step is timed one by one, and the median step is the figure: a step takes well under a microsecond, and
// on a shared machine a few steps in a thousand are stretched to tens of microseconds by the scheduler or by a
// page fault of the growing ride, which would otherwise decide the mean. The p99 and the longest step are
// printed beside it.
//
// - location_step: 1,000 steps that each keep a new point a second after the last, on rides of 10 minutes,
//   1 hour and 2 hours of fixes at one a second (every fix kept, half of the stretches below the speed limit,
//   two downtimes and a pause). Goal: the median step under 1 ms at 2 hours.
// - kept_point_step: the same on a 1-hour and a 10-hour ride with 24 waiting periods, in turn within one case so
//   that both see the same process. Goal: the 10-hour median step within 1.5 times the 1-hour one and under
//   20 us.
// - figure_read_wait: the longest time a screen's read of a figure waits for the lock while another thread
//   runs the steps of a 10-hour ride and writes its dump every sixth step. Goal: under 1 ms. The time the
//   reading thread spends runnable but not running (preempted) is the scheduler's, not the lock's, and is not
//   counted: with argument 0 (the other thread only moves the clock) the figure stays near zero however busy
//   the machine.
// - dump_write: the dump of a ride written and flushed; no goal of its own (it runs off the screens' lock).
#include "foundation/app_paths.h"
#include "foundation/manual_clock.h"
#include "gps/taximeter/dump_file.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/tax_dump.h"
#include "gps/taximeter/taximeter.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using namespace zel;
using namespace zel::gps;
using steady = std::chrono::steady_clock;

constexpr int64_t start_ms = 1'600'000'000'000LL;
constexpr int steps_per_round = 1000;

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

// The location of second t of a ride along a meridian, about 11 m a second, every other second below the
// speed limit.
location fix_of(int64_t t) {
    location fix;
    fix.latitude = 55.75 + 0.0001 * static_cast<double>(t);
    fix.longitude = 37.62;
    fix.speed = t % 2 == 0 ? 10.0f : 40.0f;
    fix.accuracy = 5.0f;
    fix.delivery_time = static_cast<uint64_t>(start_ms + t * 1000);
    return fix;
}

tax_dump ride_of(int64_t seconds) {
    tax_dump dump;
    dump.order_id = u"100500";
    dump.start_time = start_ms;
    for (int64_t t = 1; t <= seconds; ++t) {
        dump.points.push_back(fix_of(t));
    }
    dump.downtime.push_back(
        {static_cast<uint64_t>(start_ms + seconds * 200), static_cast<uint64_t>(start_ms + seconds * 250)});
    dump.downtime.push_back(
        {static_cast<uint64_t>(start_ms + seconds * 600), static_cast<uint64_t>(start_ms + seconds * 610)});
    return dump;
}

// 24 waiting periods of 125 seconds spread evenly over the ride (every one long enough to be paid).
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

// Microseconds of each step, and their order statistics.
struct step_times {
    std::vector<double> us;

    double at(double fraction) const {
        std::vector<double> sorted = us;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0.0 : sorted[static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1))];
    }
    double median() const {
        return at(0.5);
    }
    double p99() const {
        return at(0.99);
    }
    double longest() const {
        return us.empty() ? 0.0 : *std::max_element(us.begin(), us.end());
    }
};

// A ride restored from its dump, then steps_per_round steps that each keep one more point a second after the
// last. The wall clock stays at the end of the dumped ride, so no dump falls into the measured steps
// (dump_write measures it); the first step after a start writes the dump and is not measured. False when a
// fix was not kept.
bool run_round(const tax_dump& ride, bool pause, step_times& times) {
    const int64_t seconds = static_cast<int64_t>(ride.points.size());
    manual_clock clock(start_ms);
    const tariff_params tariff = bench_tariff();
    dump_file::write(ride.encode());
    taximeter meter;
    meter.set_tariff(&tariff);
    meter.start(L"100500");
    if (pause) {
        clock.set_wall_ms(start_ms + seconds * 300);
        meter.set_pause(1);
        clock.set_wall_ms(start_ms + seconds * 320);
        meter.set_pause(0);
    }
    clock.set_wall_ms(start_ms + seconds * 1000);
    int64_t t = seconds;
    meter.on_location(fix_of(++t));
    for (int i = 0; i < steps_per_round; ++i) {
        const location fix = fix_of(++t);
        const steady::time_point before = steady::now();
        meter.on_location(fix);
        times.us.push_back(std::chrono::duration<double, std::micro>(steady::now() - before).count());
    }
    benchmark::DoNotOptimize(meter.cost_total());
    const bool kept = meter.points().size() == static_cast<size_t>(t);
    meter.stop();
    return kept;
}

void location_step(benchmark::State& state) {
    const int64_t seconds = state.range(0);
    temp_folder folder;
    const tax_dump ride = ride_of(seconds);
    step_times times;
    for (auto _ : state) {
        step_times round;
        if (!run_round(ride, true, round)) {
            state.SkipWithError("a fix was not kept");
            return;
        }
        state.SetIterationTime(round.median() * 1e-6);
        times.us.insert(times.us.end(), round.us.begin(), round.us.end());
    }
    state.counters["points"] = static_cast<double>(seconds);
    state.counters["median_us"] = times.median();
    state.counters["p99_us"] = times.p99();
    state.counters["max_us"] = times.longest();
    state.SetLabel(seconds == 7200 ? "goal: median_us under 1000" : "goal: median_us under 1000 at 7200");
}
BENCHMARK(location_step)->Arg(600)->Arg(3600)->Arg(7200)->Iterations(7)->UseManualTime()->Unit(benchmark::kMicrosecond);

void kept_point_step(benchmark::State& state) {
    temp_folder folder;
    const tax_dump hour = ride_with_waits(3600);
    const tax_dump ten_hours = ride_with_waits(36000);
    step_times one;
    step_times ten;
    for (auto _ : state) {
        step_times round_one;
        step_times round_ten;
        if (!run_round(hour, false, round_one) || !run_round(ten_hours, false, round_ten)) {
            state.SkipWithError("a fix was not kept");
            return;
        }
        state.SetIterationTime(round_ten.median() * 1e-6);
        one.us.insert(one.us.end(), round_one.us.begin(), round_one.us.end());
        ten.us.insert(ten.us.end(), round_ten.us.begin(), round_ten.us.end());
    }
    state.counters["1h_median_us"] = one.median();
    state.counters["10h_median_us"] = ten.median();
    state.counters["10h_to_1h"] = one.median() > 0.0 ? ten.median() / one.median() : 0.0;
    state.counters["1h_p99_us"] = one.p99();
    state.counters["10h_p99_us"] = ten.p99();
    state.SetLabel("goal: 10h_to_1h under 1.5, 10h_median_us under 20");
}
BENCHMARK(kept_point_step)->Iterations(7)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The reading thread's own clocks: its processor time, the time it spent runnable but waiting for a
// processor (the scheduler's run delay) and the number of times it was given a processor (both from
// /proc/thread-self/schedstat).
class thread_clocks {
public:
    struct schedule {
        double run_delay_ns = -1.0; // -1 when the kernel keeps no such figures
        unsigned long long runs = 0;
    };

    thread_clocks() : schedstat_(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}
    ~thread_clocks() {
        if (schedstat_ >= 0) {
            ::close(schedstat_);
        }
    }
    thread_clocks(const thread_clocks&) = delete;
    thread_clocks& operator=(const thread_clocks&) = delete;

    static double cpu_ns() {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
    }
    // "run time, run delay, runs": nanoseconds, nanoseconds, a count.
    schedule now() {
        schedule out;
        char text[128];
        const ssize_t got = schedstat_ < 0 ? -1 : ::pread(schedstat_, text, sizeof text - 1, 0);
        if (got <= 0) {
            return out;
        }
        text[got] = '\0';
        unsigned long long run = 0;
        unsigned long long delay = 0;
        if (std::sscanf(text, "%llu %llu %llu", &run, &delay, &out.runs) == 3) {
            out.run_delay_ns = static_cast<double>(delay);
        }
        return out;
    }

private:
    int schedstat_;
};

// One iteration: the GPS thread runs 600 steps of a 10-hour ride as fast as it can, a second ahead each, so
// the dump (1.4 MB) is written and flushed every sixth step, while this thread reads figures as the screens do.
// A read that waits for the lock sleeps: it gives up its processor and gets one again once the lock is free.
// Its wait is its wall time less the processor time it used and less its run delay (runnable, waiting for a
// processor: the scheduler's share). A read during which the thread never left its processor did not wait for
// the lock, however long it took: on a virtual machine under load a thread can stand for milliseconds without
// being switched out. With argument 0 the GPS thread only moves the clock: the control, whose lock wait is 0.
// A reader also waits while the GPS thread, holding the lock, is itself preempted: that thread's longest run
// delay within one step is printed beside (gps_step_max_run_delay_us), so that a wait the machine's load made
// long can be told from a lock held long.
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

    thread_clocks own;
    if (own.now().run_delay_ns < 0.0) {
        state.SkipWithError("no /proc/thread-self/schedstat: the run delay cannot be told from a lock wait");
        return;
    }
    double max_wait_us = 0.0;
    double max_read_us = 0.0;
    uint64_t reads = 0;
    uint64_t slept = 0;
    uint64_t waits_over_1ms = 0;
    double gps_max_delay_us = 0.0; // the GPS thread's, written by it alone until it is joined
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::thread gps([&] {
            thread_clocks gps_clocks;
            for (int64_t t = seconds + 1; t <= seconds + 600; ++t) {
                clock.set_wall_ms(start_ms + t * 1000);
                if (stepping) {
                    const double delay_before = gps_clocks.now().run_delay_ns;
                    meter.on_location(fix_of(t));
                    gps_max_delay_us =
                        std::max(gps_max_delay_us, (gps_clocks.now().run_delay_ns - delay_before) / 1000.0);
                } else {
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                }
            }
            done = true;
        });
        while (!done) {
            const steady::time_point before = steady::now();
            const double cpu_before = thread_clocks::cpu_ns();
            const thread_clocks::schedule schedule_before = own.now();
            benchmark::DoNotOptimize(meter.cost_total());
            benchmark::DoNotOptimize(meter.distance());
            benchmark::DoNotOptimize(meter.downtime_window());
            const thread_clocks::schedule schedule_after = own.now();
            const double cpu_after = thread_clocks::cpu_ns();
            const double wall_ns = std::chrono::duration<double, std::nano>(steady::now() - before).count();
            double wait_us = 0.0;
            if (schedule_after.runs != schedule_before.runs) {
                ++slept;
                wait_us = std::max(0.0, wall_ns - (cpu_after - cpu_before) -
                                            (schedule_after.run_delay_ns - schedule_before.run_delay_ns)) /
                          1000.0;
            }
            max_wait_us = std::max(max_wait_us, wait_us);
            max_read_us = std::max(max_read_us, wall_ns / 1000.0);
            waits_over_1ms += wait_us > 1000.0 ? 1 : 0;
            ++reads;
        }
        gps.join();
        meter.stop();
    }
    state.counters["max_lock_wait_us"] = max_wait_us;
    state.counters["lock_waits_over_1ms"] = static_cast<double>(waits_over_1ms);
    state.counters["max_read_wall_us"] = max_read_us;
    state.counters["reads"] = static_cast<double>(reads);
    state.counters["reads_switched_out"] = static_cast<double>(slept);
    state.counters["gps_step_max_run_delay_us"] = gps_max_delay_us;
    state.SetLabel(stepping ? "goal: max_lock_wait_us under 1000" : "control: max_lock_wait_us near 0");
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
    state.SetLabel("no goal of its own: written off the screens' lock");
}
BENCHMARK(dump_write)->Arg(600)->Arg(3600)->Arg(7200)->Unit(benchmark::kMillisecond);

// ---- One process a case ----

// The console reporter of one child: the first prints the context and the column heads, the others only
// their rows, all with the width of the longest name.
class case_reporter : public benchmark::ConsoleReporter {
public:
    case_reporter(bool first, size_t name_width)
        : benchmark::ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Color : OO_None), first_(first),
          name_width_(name_width) {}

    bool ReportContext(const Context& context) override {
        if (first_) {
            benchmark::ConsoleReporter::ReportContext(context);
        }
        printed_header_ = !first_;
        name_field_width_ = name_width_;
        return true;
    }

private:
    bool first_;
    size_t name_width_;
};

// A filter that selects exactly the case of this name.
std::string exact_filter(const std::string& name) {
    std::string out(1, '^');
    for (const char c : name) {
        if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos) {
            out += '\\';
        }
        out += c;
    }
    out += '$';
    return out;
}

// Runs f in a child process; its exit status.
template <class F> int in_child(F&& f) {
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (child == 0) {
        f();
        std::cout.flush();
        std::fflush(nullptr);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// The names of the cases that the filter selects, as --benchmark_list_tests prints them.
std::vector<std::string> case_names(const char* program) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_fds[0]);
        ::dup2(pipe_fds[1], STDOUT_FILENO);
        std::string list = "--benchmark_list_tests=true";
        std::string filter = "--benchmark_filter=" + benchmark::GetBenchmarkFilter();
        char* argv[] = {const_cast<char*>(program), list.data(), filter.data(), nullptr};
        int argc = 3;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        std::cout.flush();
        std::fflush(nullptr);
        ::_exit(0);
    }
    ::close(pipe_fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipe_fds[0]);
    ::waitpid(child, nullptr, 0);
    std::vector<std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            names.push_back(line);
        }
    }
    return names;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::vector<std::string> names = case_names(argv[0]);
    size_t width = 10;
    for (const std::string& name : names) {
        width = std::max(width, name.size() + 10); // room for "_median" and the like
    }
    int failed = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        failed |= in_child([&] {
            case_reporter reporter(i == 0, width);
            benchmark::RunSpecifiedBenchmarks(&reporter, exact_filter(names[i]));
        });
    }
    benchmark::Shutdown();
    return failed;
}
