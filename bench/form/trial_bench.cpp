// The terminal with the default skin against the trial server on loopback, in a real window on the X display
// named by DISPLAY (Xvfb will do); without one it runs under SDL's dummy driver, whose event wait polls every
// millisecond, and the figures say on_display=0:
// - start to main menu: from the process's start to the end of the first paint after the switch to the main
//   menu, read from the terminal's own log times (goal: under 300 ms); to_window_ms beside it is the start to
//   WM_CREATE (the window is open), cpu_ms the processor time the terminal had used when the menu was seen
//   (all threads, in steps of the kernel's tick), which a busy machine inflates less than the wall time;
// - skin loading beside it: skin_images reading every picture from the five libraries, and decoding them all;
// - idle main menu for 10 s: the wake-ups a second of every thread of the process together (the voluntary
//   context switches of /proc/PID/task/*: each is a thread going to sleep, so a thread waking up; preemptions
//   are not counted) and the process's share of a core (goal: at most 8 wake-ups a second, under 1 %). Each
//   thread that woke is listed on standard error with its rate, to show which one does.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "form/drawing/skin_images.h"
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

bool on_display() {
    return std::getenv("DISPLAY") != nullptr;
}

// The stamp of the first line that holds text; -1 while there is none.
long long first_line(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos) {
            return line_ms(line);
        }
    }
    return -1;
}

// Milliseconds from started (a day_ms stamp) to a log stamp.
long long since(long long started, long long stamp) {
    const long long elapsed = stamp - started;
    return elapsed < 0 ? elapsed + 24LL * 3600 * 1000 : elapsed; // past midnight
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

struct process_sample {
    std::map<long, long long> woken;   // each thread's voluntary context switches, by thread id
    std::map<long, std::string> names; // each thread's name
    long long cpu_ticks = 0;           // the whole process's user and system time, ended threads' too
};

long long status_field(const std::filesystem::path& status_file, const std::string& field) {
    std::ifstream status(status_file);
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stoll(line.substr(field.size() + 1));
        }
    }
    return 0;
}

process_sample sample(pid_t pid) {
    process_sample out;
    const std::filesystem::path process = "/proc/" + std::to_string(pid);
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(process / "task", error)) {
        const long id = std::stol(task.path().filename().string());
        out.woken[id] = status_field(task.path() / "status", "voluntary_ctxt_switches");
        std::ifstream comm(task.path() / "comm");
        std::getline(comm, out.names[id]);
    }
    std::ifstream stat(process / "stat");
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

void start_to_main_menu(benchmark::State& state) {
    double to_window = 0, cpu = 0;
    for (auto _ : state) {
        zel::test::trial_terminal trial;
        const long long started = day_ms(clock_type::now());
        if (!trial.start(true)) {
            state.SkipWithError("the terminal did not start");
            return;
        }
        long long painted = -1;
        trial.wait_until([&] { return (painted = main_menu_painted(trial.log_lines())) >= 0; });
        const long long created = first_line(trial.log_lines(), "WM_CREATE");
        cpu +=
            static_cast<double>(sample(trial.pid()).cpu_ticks) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
        trial.stop();
        if (painted < 0 || created < 0) {
            state.SkipWithError("the terminal never reached the main menu");
            return;
        }
        to_window += static_cast<double>(since(started, created));
        state.SetIterationTime(static_cast<double>(since(started, painted)) / 1000.0);
    }
    state.counters["on_display"] = on_display() ? 1 : 0;
    state.counters["to_window_ms"] = benchmark::Counter(to_window, benchmark::Counter::kAvgIterations);
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
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

// The wake-ups a second of every thread between two samples, listing on standard error each thread that woke.
// A thread started in between counts from zero; one that ended in between is lost (none do on an idle menu).
double wakeups_per_second(const process_sample& before, const process_sample& after, double seconds) {
    long long all = 0;
    for (const auto& [id, count] : after.woken) {
        const auto was = before.woken.find(id);
        const long long woke = count - (was == before.woken.end() ? 0 : was->second);
        all += woke;
        if (woke > 0) {
            std::fprintf(stderr, "  thread %ld (%s): %.1f wake-ups/s\n", id, after.names.at(id).c_str(),
                         static_cast<double>(woke) / seconds);
        }
    }
    return static_cast<double>(all) / seconds;
}

void idle_main_menu(benchmark::State& state) {
    double wakeups = 0, core = 0, threads = 0;
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
        wakeups = wakeups_per_second(before, after, seconds);
        core = 100.0 * static_cast<double>(after.cpu_ticks - before.cpu_ticks) / ::sysconf(_SC_CLK_TCK) / seconds;
        threads = static_cast<double>(after.woken.size());
        state.SetIterationTime(seconds);
    }
    state.counters["on_display"] = on_display() ? 1 : 0;
    state.counters["threads"] = threads;
    state.counters["wakeups_per_s"] = wakeups;
    state.counters["goal_wakeups_per_s"] = 8;
    state.counters["core_percent"] = core;
    state.counters["goal_core_percent"] = 1;
}
BENCHMARK(idle_main_menu)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
