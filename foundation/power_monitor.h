// Polls the device's power status on a thread of its own and reports it to one callback: whether the device
// runs on mains power and how full the battery is (a percent above 100 means the level is unavailable).
//
// The thread waits one period, reads the status, stores it, calls the callback when the read succeeded, and
// repeats; the first report comes one period after construction. A failed read stores a zeroed status and
// does not call back. Where the platform has no power status at all the monitor stays idle and never calls
// back. The callback runs on the monitor thread; destruction ends the thread within one wait and joins it,
// so the callback is never called after the destructor returns.
#pragma once

#include "foundation/stoppable_thread.h"
#include "platform/power_supply.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace zel {

class power_monitor {
public:
    using callback = std::function<void(bool mains_online, uint8_t battery_percent)>;

    explicit power_monitor(callback report, int period_ms = 2000, power_supply source = power_supply());
    ~power_monitor();
    power_monitor(const power_monitor&) = delete;
    power_monitor& operator=(const power_monitor&) = delete;

    // The last values read; 0 until the first read.
    bool mains_online() const {
        return (status_.load() & 0x100) != 0;
    }
    uint8_t battery_percent() const {
        return static_cast<uint8_t>(status_.load() & 0xFF);
    }

private:
    void thread_proc();

    // Both values in one word (mains in bit 8, the percent below it), so they are stored together.
    std::atomic<uint16_t> status_{0};
    callback report_;
    std::chrono::milliseconds period_;
    power_supply source_;

    stoppable_thread thread_;
};

} // namespace zel
