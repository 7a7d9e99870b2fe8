#include "foundation/power_monitor.h"

namespace zel {

power_monitor::power_monitor(callback report, int period_ms, power_supply source)
    : report_(std::move(report)), period_(period_ms), source_(std::move(source)) {
    if (source_.available()) {
        thread_.start([this] { thread_proc(); });
    }
}

power_monitor::~power_monitor() {
    thread_.stop();
}

void power_monitor::thread_proc() {
    while (thread_.wait_for(period_)) {
        const auto status = source_.read();
        const power_status read = status.value_or(power_status{});
        status_ = static_cast<uint16_t>((read.mains_online ? 0x100 : 0) | read.battery_percent);
        if (status && report_) {
            report_(read.mains_online, read.battery_percent);
        }
    }
}

} // namespace zel
