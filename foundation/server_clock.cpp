#include "foundation/server_clock.h"

#include "foundation/clock.h"

namespace zel {

int64_t server_clock::set_server_time(int64_t server_ms) {
    const int64_t seconds = server_ms / 1000;
    offset_.store(seconds - now_seconds());
    return seconds;
}

int64_t server_clock::store_server_seconds(int64_t tzo_ms) {
    const int64_t seconds = tzo_ms / 1000;
    server_seconds_.store(seconds);
    return seconds;
}

int64_t server_clock::server_now() const {
    return now_seconds() + offset_.load();
}

} // namespace zel
