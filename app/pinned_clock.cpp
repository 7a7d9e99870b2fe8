#include "app/pinned_clock.h"

#include <chrono>

#include "platform/headless.h"

namespace zel::app {

pinned_clock::pinned_clock(int64_t seconds) {
    pin(seconds);
}

void pinned_clock::pin(int64_t seconds) {
    const uint64_t display = platform::headless::now_ms();
    std::lock_guard guard(lock_);
    pinned_ms_ = seconds * 1000;
    display_at_pin_ = display;
}

int64_t pinned_clock::wall_ms() {
    const uint64_t display = platform::headless::now_ms();
    std::lock_guard guard(lock_);
    return pinned_ms_ + (static_cast<int64_t>(display) - static_cast<int64_t>(display_at_pin_));
}

uint64_t pinned_clock::monotonic_ms() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace zel::app
