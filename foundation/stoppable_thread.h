// A worker thread whose waits end at once when it is told to stop: the owner's destructor calls stop, which
// wakes the thread from its wait and joins it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace zel {

class stoppable_thread {
public:
    stoppable_thread() = default;
    ~stoppable_thread() {
        stop();
    }
    stoppable_thread(const stoppable_thread&) = delete;
    stoppable_thread& operator=(const stoppable_thread&) = delete;

    // Runs body on a new thread; does nothing when a thread was started already.
    void start(std::function<void()> body);
    // Asks the thread to end, wakes its wait and joins it. The thread's body must return when a wait says so.
    void stop();

    // On the thread: waits up to time; false when the thread must end.
    bool wait_for(std::chrono::milliseconds time);
    bool stopping();

private:
    std::mutex lock_; // guards stop_ and the start of thread_
    std::condition_variable signal_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace zel
