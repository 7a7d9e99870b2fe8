// The terminal with the default skin against the trial server on loopback:
// - start to main menu: from the process's start to the end of the first paint after the switch to the main
//   menu, read from the terminal's own log times (goal: under 300 ms);
// - skin loading beside it: skin_images reading every picture from the five libraries, and decoding them all;
// - idle main menu for 10 s: the UI thread's wake-ups a second and the process's share of a core (goal: at
//   most 5 wake-ups a second, under 1 %). It shows the window on the X display named by DISPLAY (Xvfb will do);
//   without one it runs under SDL's dummy driver, whose event wait polls every millisecond (on_display=0).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "form/skin_images.h"
#include "tests/form/trial_terminal.h"
#include "tools/skin/skin_checks.h"

namespace {

using clock_type = std::chrono::system_clock;

// Milliseconds since midnight UTC, as the log stamps its lines ("H:M:S:ms").
long long day_ms(clock_type::time_point t) {
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    return ms % (24LL * 3600 * 1000);
}

long long line_ms(const std::string& line) {
    int h = 0, m = 0, s = 0, ms = 0;
    if (std::sscanf(line.c_str(), "%d:%d:%d:%d", &h, &m, &s, &ms) != 4) {
        return -1;
    }
    return ((h * 60LL + m) * 60 + s) * 1000 + ms;
}

// The stamp of the first paint's end after the first panel switch; -1 while there is none.
long long main_menu_painted(const std::vector<std::string>& lines) {
    bool switched = false;
    for (const std::string& line : lines) {
        if (line.find("CHANGE_PANEL") != std::string::npos) {
            switched = true;
        } else if (switched && line.find("paint time =") != std::string::npos) {
            return line_ms(line);
        }
    }
    return -1;
}

void start_to_main_menu(benchmark::State& state) {
    for (auto _ : state) {
        zel::test::trial_terminal trial;
        const long long started = day_ms(clock_type::now());
        if (!trial.start()) {
            state.SkipWithError("the terminal did not start");
            return;
        }
        long long painted = -1;
        trial.wait_until([&] { return (painted = main_menu_painted(trial.log_lines())) >= 0; });
        trial.stop();
        if (painted < 0) {
            state.SkipWithError("the terminal never reached the main menu");
            return;
        }
        long long elapsed = painted - started;
        if (elapsed < 0) {
            elapsed += 24LL * 3600 * 1000; // past midnight
        }
        state.SetIterationTime(static_cast<double>(elapsed) / 1000.0);
    }
    state.counters["goal_ms"] = 300;
}
BENCHMARK(start_to_main_menu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void skin_loading(benchmark::State& state) {
    for (auto _ : state) {
        zel::form::skin_images images(480, 800, 192);
        benchmark::DoNotOptimize(images);
    }
}
BENCHMARK(skin_loading)->Unit(benchmark::kMillisecond);

void skin_decoding_every_picture(benchmark::State& state) {
    const zel::form::skin_images images(480, 800, 192);
    for (auto _ : state) {
        for (int id : skin_tools::skin_checks::expected_ids()) {
            benchmark::DoNotOptimize(images.get_image_by_id(id));
        }
    }
}
BENCHMARK(skin_decoding_every_picture)->Unit(benchmark::kMillisecond);

struct process_sample {
    long long switches = 0; // the main (UI) thread's context switches
    long long cpu_ticks = 0; // the whole process's user and system time
};

process_sample sample(pid_t pid) {
    process_sample out;
    std::ifstream status("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
            out.switches += std::stoll(line.substr(line.find(':') + 1));
        }
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) {
            out.cpu_ticks += std::stoll(field);
        }
    }
    return out;
}

void idle_main_menu(benchmark::State& state) {
    double wakeups = 0, core = 0;
    for (auto _ : state) {
        zel::test::trial_terminal trial;
        if (!trial.start(true) || !trial.wait_until([&] { return main_menu_painted(trial.log_lines()) >= 0; })) {
            state.SkipWithError("the terminal never reached the main menu");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1)); // the start-up's threads settle
        const process_sample before = sample(trial.pid());
        const auto from = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
        const process_sample after = sample(trial.pid());
        trial.stop();
        wakeups = static_cast<double>(after.switches - before.switches) / seconds;
        core = 100.0 * static_cast<double>(after.cpu_ticks - before.cpu_ticks) / ::sysconf(_SC_CLK_TCK) / seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["on_display"] = std::getenv("DISPLAY") ? 1 : 0;
    state.counters["ui_wakeups_per_s"] = wakeups;
    state.counters["core_percent"] = core;
    state.counters["goal_wakeups_per_s"] = 5;
    state.counters["goal_core_percent"] = 1;
}
BENCHMARK(idle_main_menu)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
