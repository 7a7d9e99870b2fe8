#include "controller/worker_threads.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <system_error>
#include <thread>

namespace zel::controller_ {

bool worker_threads::start(std::function<void()> body) {
    {
        std::lock_guard guard(lock_);
        ++running_;
    }
    try {
        std::thread([this, body = std::move(body)]() mutable {
            body();
            // The body's captures go before the count drops: the owner may be destroyed right after.
            body = nullptr;
            finished();
        }).detach();
    } catch (const std::system_error& error) {
        zel::log(logger::error, L"controller: cannot start a thread: " + utf8_to_wide(error.what()));
        finished();
        return false;
    }
    return true;
}

void worker_threads::finished() {
    // Notified under the lock: once the waiter sees zero it may destroy this object, and by then the thread
    // no longer touches it.
    std::lock_guard guard(lock_);
    --running_;
    all_done_.notify_all();
}

bool worker_threads::wait_all(std::chrono::milliseconds limit) {
    std::unique_lock guard(lock_);
    return all_done_.wait_for(guard, limit, [this] { return running_ == 0; });
}

size_t worker_threads::running() const {
    std::lock_guard guard(lock_);
    return running_;
}

} // namespace zel::controller_
