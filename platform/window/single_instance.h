// One running copy per name: a lock file held with flock and a local socket beside it. The holder listens on
// the socket; a second start that finds the lock taken connects and asks the holder to raise its window.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace platform {

class single_instance {
public:
    // on_raise runs on the listening thread for every request.
    single_instance(std::string folder, std::string name, std::function<void()> on_raise);
    ~single_instance();
    single_instance(const single_instance&) = delete;
    single_instance& operator=(const single_instance&) = delete;

    // Takes the lock and starts listening; false when another holder has it (or the folder cannot be used).
    bool claim();
    // Whether someone else holds the name right now.
    static bool held_elsewhere(const std::string& folder, const std::string& name);
    // Asks the holder to raise its window; false when nobody listens.
    static bool request_raise(const std::string& folder, const std::string& name);

private:
    void listen_loop();

    std::string folder_;
    std::string name_;
    std::function<void()> on_raise_;
    int lock_fd_ = -1;
    int listen_fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread listener_;
};

} // namespace platform
