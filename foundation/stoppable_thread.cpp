#include "foundation/stoppable_thread.h"

namespace zel {

void stoppable_thread::start(std::function<void()> body) {
    std::lock_guard guard(lock_);
    if (!thread_.joinable()) {
        thread_ = std::thread(std::move(body));
    }
}

void stoppable_thread::stop() {
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    signal_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool stoppable_thread::wait_for(std::chrono::milliseconds time) {
    std::unique_lock guard(lock_);
    return !signal_.wait_for(guard, time, [this] { return stop_; });
}

bool stoppable_thread::stopping() {
    std::lock_guard guard(lock_);
    return stop_;
}

} // namespace zel
