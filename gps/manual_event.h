// A manual-reset event: set() releases every waiter now and later until reset().
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zel::gps {

class manual_event {
public:
    void set() {
        {
            std::lock_guard guard(lock_);
            set_ = true;
        }
        changed_.notify_all();
    }
    void reset() {
        std::lock_guard guard(lock_);
        set_ = false;
    }
    bool is_set() {
        std::lock_guard guard(lock_);
        return set_;
    }
    // True when the event is set within the time-out.
    bool wait_for(std::chrono::milliseconds timeout) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, timeout, [this] { return set_; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool set_ = false;
};

} // namespace zel::gps
