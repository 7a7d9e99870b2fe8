#include "foundation/sound_player.h"

#include "foundation/app_paths.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/audio_output.h"

#include <algorithm>
#include <atomic>

namespace zel {
namespace {

// Plays through the sound device; a machine without one stays silent and says so once in the log.
sound_player::output device_output(const std::shared_ptr<audio_output>& device) {
    auto told_no_device = std::make_shared<std::atomic<bool>>(false);
    return [device, told_no_device](const std::filesystem::path& file) {
        switch (device->play(file)) {
        case audio_output::result::played:
            break;
        case audio_output::result::no_device:
            if (!told_no_device->exchange(true)) {
                log(logger::warning, L"sound_player: " + utf8_to_wide(device->last_error()) + L"; sounds are off");
            }
            break;
        case audio_output::result::bad_file:
            log(logger::error, L"sound_player: " + utf8_to_wide(device->last_error()));
            break;
        }
    };
}

} // namespace

sound_player& sound_player::instance() {
    static sound_player* const player = [] {
        auto device = std::make_shared<audio_output>();
        return new sound_player(device_output(device), {}, [device] { return device->quiet(); });
    }();
    return *player;
}

void sound_player::start() {
    instance().start_thread();
}

void sound_player::play(int sound_id) {
    instance().enqueue(sound_id, 1);
}

std::filesystem::path sound_player::sound_file(int sound_id) {
    static const wchar_t* const files[] = {L"\\sound\\new_order.wav", L"\\sound\\new_order_adv.wav",
                                           L"\\sound\\new_message.wav", L"\\sound\\fail_pin.wav",
                                           L"\\sound\\check_view.wav"};
    if (sound_id < 1 || sound_id > 5) {
        return {};
    }
    return app_file(files[sound_id - 1]);
}

sound_player::sound_player(output out, waiter wait, quiet_check quiet)
    : out_(std::move(out)), wait_(std::move(wait)), quiet_(std::move(quiet)) {}

sound_player::~sound_player() {
    {
        std::lock_guard guard(lock_);
        ending_ = true;
    }
    queued_.notify_all();
    thread_.stop();
}

void sound_player::start_thread() {
    thread_.start([this] { thread_proc(); });
}

void sound_player::enqueue(int sound_id, int32_t delay_seconds) {
    std::lock_guard guard(lock_);
    if (!queue_.empty() && queue_.front().sound_id == sound_id) {
        return;
    }
    queue_.push_back({sound_id, now_seconds() + delay_seconds});
    queued_.notify_all();
}

std::vector<int> sound_player::pending() const {
    std::lock_guard guard(lock_);
    std::vector<int> ids;
    for (const auto& e : queue_) {
        ids.push_back(e.sound_id);
    }
    return ids;
}

bool sound_player::wait(std::chrono::milliseconds time) {
    if (wait_) {
        return !thread_.stopping() && wait_(time);
    }
    if (time != until_queued) {
        return thread_.wait_for(time);
    }
    std::unique_lock guard(lock_);
    queued_.wait(guard, [this] { return ending_ || !queue_.empty(); });
    return !ending_;
}

bool sound_player::sleep_until_queued(uint32_t& last_look) {
    if (!wait(until_queued)) {
        return false;
    }
    // The next look falls on the same 200 ms steps as before the sleep, and never within 200 ms of the last.
    const uint32_t since = clock::tick_ms() - last_look;
    const uint32_t steps = std::max<uint32_t>(1, (since + step.count() - 1) / step.count());
    const uint32_t delay = steps * step.count() - since;
    last_look += steps * step.count();
    return wait(std::chrono::milliseconds(delay));
}

void sound_player::thread_proc() {
    if (!wait(std::chrono::milliseconds(1000))) {
        return;
    }
    uint32_t last_look = clock::tick_ms();
    for (;;) {
        bool have = false;
        bool more = false;
        entry next{};
        {
            std::lock_guard guard(lock_);
            if (!queue_.empty()) {
                next = queue_.front();
                queue_.pop_front();
                have = true;
            }
            more = !queue_.empty();
        }
        if (have && next.expiry >= now_seconds()) {
            play_file(next.sound_id);
        }
        const bool quiet = !quiet_ || quiet_();
        if (!more && quiet) {
            if (!sleep_until_queued(last_look)) {
                return;
            }
        } else {
            if (!wait(step)) {
                return;
            }
            last_look += step.count();
        }
    }
}

void sound_player::play_file(int sound_id) {
    const auto file = sound_file(sound_id);
    if (!file.empty() && out_) {
        out_(file);
    }
}

} // namespace zel
