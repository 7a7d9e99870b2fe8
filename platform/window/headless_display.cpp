#include "platform/window/headless_display.h"

#include "platform/window/window_system.h"

namespace platform {

bool headless_display::open(int, int, const std::wstring&) {
    window_system::instance().activated(true);
    return true;
}

void headless_display::raise() {
    window_system::instance().activated(true);
}

void headless_display::minimise() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++minimised_;
}

int headless_display::minimised() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return minimised_;
}

std::uint64_t headless_display::now_ms() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

void headless_display::wait(std::optional<std::uint64_t> deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return woken_ || (deadline && now_ >= *deadline); });
    woken_ = false;
}

void headless_display::wake() {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
    changed_.notify_all();
}

void headless_display::advance(std::uint32_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ += ms;
    changed_.notify_all();
}

} // namespace platform
