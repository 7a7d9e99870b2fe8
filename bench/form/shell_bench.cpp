// The panel manager's two hot paths on the headless display.
// Goals: a full 480 x 800 paint (slate main menu, strip, busy overlay, window blit) under 4 ms, the budget of a
// busy screen's full repaint (controls_bench), printed with its ratio to a plain full-screen BitBlt to the same
// window measured in the same case (the slate, the pictures and the overlay are drawn pixel by pixel, so the
// paint costs some tens of blits); post_command on a worker thread to the panel's on_command on the UI thread
// with a median under 100 us.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

#include "bench/form/bench_window.h"
#include "form/account/panel_lock_gui.h"
#include "form/account/panel_master_panel_2.h"
#include "form/account/panel_status.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_base.h"
#include "platform/gdi.h"
#include "platform/headless.h"

namespace {

using namespace zel::form;
using steady = std::chrono::steady_clock;

using bench::bench_window;
using bench::height;
using bench::width;

// The main menu that notes when a command reached it.
class timed_menu : public panel_master_panel_2 {
public:
    explicit timed_menu(manager_2& m) : panel_master_panel_2(m) {}
    void on_command(const zel_api::update_mask&) override {
        reached = steady::now();
        arrived.store(true, std::memory_order_release);
    }
    steady::time_point reached;
    std::atomic<bool> arrived{false};
};

struct shell {
    shell() {
        manager_2::panel_table table;
        table.status = [](manager_2& m) { return std::make_unique<panel_status>(m); };
        table.lock = [](manager_2& m) { return std::make_unique<panel_lock_gui>(m); };
        table.rows = {{2,
                       [this](manager_2& m) {
                           auto p = std::make_unique<timed_menu>(m);
                           menu = p.get();
                           return std::unique_ptr<panel_base>(std::move(p));
                       },
                       nullptr}};
        manager = std::make_unique<manager_2>(bench_window(), std::move(table));
        set_main_manager(manager.get());
        manager->start();
        manager->await_load();
        manager->reset_to_panel(2);
        platform::headless::run_until_idle();
    }
    ~shell() {
        set_main_manager(nullptr);
    }
    std::unique_ptr<manager_2> manager;
    timed_menu* menu = nullptr;
};

// Milliseconds per call of f, over n calls.
template <class F> double ms_per_call(int n, F&& f) {
    const auto start = steady::now();
    for (int i = 0; i < n; ++i) {
        f();
    }
    return std::chrono::duration<double, std::milli>(steady::now() - start).count() / n;
}

void full_screen_paint(benchmark::State& state) {
    shell s;
    s.manager->lock(); // the overlay too
    HDC dc = GetDC(bench_window());
    const rect full{0, 0, width, height};
    s.manager->paint(dc, full); // pictures warm
    const auto start = steady::now();
    for (auto _ : state) {
        s.manager->paint(dc, full);
    }
    const double paint_ms = std::chrono::duration<double, std::milli>(steady::now() - start).count() /
                            static_cast<double>(state.iterations());

    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const double blit_ms = ms_per_call(500, [&] { BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY); });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(bench_window(), dc);
    s.manager->unlock();

    state.counters["paint_ms"] = paint_ms;
    state.counters["bitblt_ms"] = blit_ms;
    state.counters["ratio_to_bitblt"] = blit_ms > 0 ? paint_ms / blit_ms : 0.0;
    state.counters["goal_ms"] = 4;
    state.SetLabel("goal: paint_ms under 4");
}
BENCHMARK(full_screen_paint)->Unit(benchmark::kMillisecond);

void post_command_to_on_command(benchmark::State& state) {
    shell s;
    std::binary_semaphore go(0);
    std::atomic<bool> stop{false};
    steady::time_point posted;
    zel_api::update_mask mask;
    mask.set(L"order");
    std::thread worker([&] {
        for (;;) {
            go.acquire();
            if (stop.load()) {
                return;
            }
            posted = steady::now();
            s.manager->post_command(mask);
        }
    });
    std::vector<double> micros;
    for (auto _ : state) {
        s.menu->arrived.store(false);
        go.release();
        MSG msg;
        while (!s.menu->arrived.load(std::memory_order_acquire) && GetMessageW(&msg, nullptr, 0, 0)) {
            DispatchMessageW(&msg);
        }
        const double us = std::chrono::duration<double, std::micro>(s.menu->reached - posted).count();
        micros.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    stop.store(true);
    go.release();
    worker.join();
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros.empty() ? 0.0 : micros[micros.size() / 2];
    state.counters["goal_us"] = 100;
    state.SetLabel("goal: median_us under 100");
}
BENCHMARK(post_command_to_on_command)->UseManualTime();

} // namespace
