// The controller's worker threads (one per request, the login exchange, the registrations). They run detached,
// as designed, but are counted, so that an owner that ends (tests build and destroy controllers) can wait
// until every one of them has returned before its members go.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace zel::controller_ {

class worker_threads {
public:
    // Runs body on a new detached thread. False (and body not run) when no thread can be started.
    bool start(std::function<void()> body);
    // Waits until every started body has returned, or the time passes; true when none runs.
    bool wait_all(std::chrono::milliseconds limit);
    size_t running() const;

private:
    void finished();

    mutable std::mutex lock_;
    std::condition_variable all_done_;
    size_t running_ = 0;
};

} // namespace zel::controller_
