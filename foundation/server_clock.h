// The server's time: device time plus the offset learnt from "session-param". Written by the packet thread,
// read by the screens: both fields are atomics.
#pragma once

#include <atomic>
#include <cstdint>

namespace zel {

class server_clock {
public:
    // "dt": the server's time in ms; offset := ms / 1000 - now_seconds. Returns ms / 1000.
    int64_t set_server_time(int64_t server_ms);
    // "tzo": the service's time-zone offset in ms; stored in seconds. Returns it.
    int64_t store_server_seconds(int64_t tzo_ms);

    // Device time plus the offset, in seconds; equals the device time before any "session-param".
    int64_t server_now() const;

    int64_t offset() const {
        return offset_.load();
    }
    int64_t server_seconds() const {
        return server_seconds_.load();
    }

private:
    std::atomic<int64_t> offset_{0};
    std::atomic<int64_t> server_seconds_{0};
};

} // namespace zel
