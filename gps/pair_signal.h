// The sign of life that the port search waits for: one port and baud rate (a pair) at a time is armed, and only
// the reader of that pair can set the signal. A late sentence from the reader of an earlier pair would otherwise
// report the wrong port and baud, and the wrong pair would be cached.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace zel::gps {

class pair_signal {
public:
    // Clears the signal; from now on only `pair` may set it (0 arms nobody).
    void arm(uint64_t pair) {
        std::lock_guard guard(lock_);
        armed_ = pair;
        signalled_ = false;
    }
    // Sets the signal when `pair` is the armed one; any other pair is ignored.
    void signal(uint64_t pair) {
        {
            std::lock_guard guard(lock_);
            if (pair == 0 || pair != armed_) {
                return;
            }
            signalled_ = true;
        }
        changed_.notify_all();
    }
    // Ends every wait now and later, until clear_cancel().
    void cancel() {
        {
            std::lock_guard guard(lock_);
            cancelled_ = true;
        }
        changed_.notify_all();
    }
    void clear_cancel() {
        std::lock_guard guard(lock_);
        cancelled_ = false;
    }
    // True when the armed pair signalled within the time-out; a cancel ends the wait early.
    bool wait_for(std::chrono::milliseconds timeout) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, timeout, [this] { return signalled_ || cancelled_; });
        return signalled_;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    uint64_t armed_ = 0;
    bool signalled_ = false;
    bool cancelled_ = false;
};

} // namespace zel::gps
