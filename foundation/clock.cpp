#include "foundation/clock.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace zel {
namespace {

class system_source : public clock_source {
public:
    int64_t wall_ms() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    }
    uint64_t monotonic_ms() override {
        using namespace std::chrono;
        return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

system_source system_clocks;
std::atomic<clock_source*> current_source{&system_clocks};

clock_source& source() {
    return *current_source.load(std::memory_order_acquire);
}

} // namespace

void clock::set_source(clock_source* source) {
    current_source.store(source ? source : &system_clocks, std::memory_order_release);
}

int64_t clock::now_ms() {
    return source().wall_ms();
}

int64_t clock::now_seconds() {
    const int64_t ms = now_ms();
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

uint32_t clock::tick_ms() {
    return static_cast<uint32_t>(source().monotonic_ms());
}

utc_time clock::to_utc(int64_t unix_ms) {
    using namespace std::chrono;
    const sys_time<milliseconds> t{milliseconds{unix_ms}};
    const auto days = floor<std::chrono::days>(t);
    const year_month_day date{days};
    const hh_mm_ss<milliseconds> time{t - days};
    utc_time out;
    out.year = static_cast<int>(date.year());
    out.month = static_cast<int>(static_cast<unsigned>(date.month()));
    out.day = static_cast<int>(static_cast<unsigned>(date.day()));
    out.hour = static_cast<int>(time.hours().count());
    out.minute = static_cast<int>(time.minutes().count());
    out.second = static_cast<int>(time.seconds().count());
    out.millisecond = static_cast<int>(time.subseconds().count());
    return out;
}

utc_time clock::utc_now() {
    return to_utc(now_ms());
}

uint64_t unique_stamp_ms() {
    static std::mutex lock;
    static uint64_t last = 0;
    const utc_time now = clock::utc_now();
    const uint64_t tick = clock::tick_ms();
    uint64_t stamp = static_cast<uint64_t>(now.year - 2000) * 32140800000ULL +
                     static_cast<uint64_t>(now.month) * 2678400000ULL + static_cast<uint64_t>(now.day) * 86400000ULL +
                     static_cast<uint64_t>(now.hour) * 3600000ULL + static_cast<uint64_t>(now.minute) * 60000ULL +
                     static_cast<uint64_t>(now.second) * 1000ULL + tick % 1000;
    std::lock_guard guard(lock);
    if (stamp <= last) {
        stamp = last + 1;
    }
    last = stamp;
    return stamp;
}

} // namespace zel
