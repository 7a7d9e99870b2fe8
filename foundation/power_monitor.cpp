#include "foundation/power_monitor.h"

namespace zel {

power_monitor::power_monitor(callback report, int period_ms, power_supply source)
    : report_(std::move(report)), period_(period_ms), source_(std::move(source)) {
    if (source_.available()) {
        thread_ = std::thread(&power_monitor::thread_proc, this);
    }
}

power_monitor::~power_monitor() {
    {
        std::lock_guard guard(stop_lock_);
        stop_ = true;
    }
    stop_signal_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void power_monitor::thread_proc() {
    for (;;) {
        {
            std::unique_lock guard(stop_lock_);
            if (stop_signal_.wait_for(guard, period_, [this] { return stop_; })) {
                return;
            }
        }
        const auto status = source_.read();
        const power_status read = status.value_or(power_status{});
        mains_online_ = read.mains_online ? 1 : 0;
        battery_percent_ = read.battery_percent;
        if (status && report_) {
            report_(read.mains_online, read.battery_percent);
        }
    }
}

} // namespace zel
