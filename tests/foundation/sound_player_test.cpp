#include "foundation/manual_clock.h"
#include "foundation/sound_player.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>

namespace zel {
namespace {

TEST(sound_player, only_the_front_entry_stops_a_repeated_request) {
    const std::pair<std::vector<int>, std::vector<int>> cases[] = {
        {{1, 1}, {1}},
        {{1, 3, 1}, {1, 3}},
        {{3, 1, 1}, {3, 1, 1}},
        {{9, 2}, {9, 2}},
    };
    for (const auto& [requests, queued] : cases) {
        sound_player player(nullptr);
        for (int id : requests) {
            player.enqueue(id, 1);
        }
        EXPECT_EQ(player.pending(), queued) << ::testing::PrintToString(requests);
    }
}

// Runs a player on a manual clock: the player's waits step the clock (a wait until a request is queued steps it
// to the next request's time), requests are made at given times (in ms after the thread started, before the
// player looks at its queue at that time), and what is played is recorded with its time. The thread ends at
// 3000 ms. The waits are recorded too, to show when the player sleeps.
class timeline {
public:
    struct request {
        int64_t at_ms;
        int sound_id;
        int delay_seconds;
    };
    using played = std::vector<std::pair<int64_t, std::string>>;

    played run(int64_t start_wall_ms, std::vector<request> requests) {
        manual_clock clock(start_wall_ms);
        played out;
        sound_player player([&](const std::filesystem::path& file) { out.emplace_back(elapsed_, file.filename()); },
                            [&](std::chrono::milliseconds time) { return step(clock, time); },
                            [&] { return quiet_after_ms_ <= elapsed_; });
        for (const auto& r : requests) {
            requests_.emplace(r.at_ms, [&player, r] { player.enqueue(r.sound_id, r.delay_seconds); });
        }
        player.start_thread();
        std::unique_lock guard(lock_);
        done_signal_.wait(guard, [this] { return done_; });
        return out;
    }

private:
    bool step(manual_clock& clock, std::chrono::milliseconds time) {
        waits_.push_back(time);
        int64_t target = elapsed_ + (time == sound_player::until_queued ? 0 : time.count());
        if (time == sound_player::until_queued) {
            target = requests_.empty() ? 3000 : std::min<int64_t>(3000, requests_.begin()->first);
        }
        for (auto it = requests_.begin(); it != requests_.end() && it->first <= target; it = requests_.erase(it)) {
            clock.advance_ms(it->first - elapsed_);
            elapsed_ = it->first;
            it->second();
        }
        clock.advance_ms(target - elapsed_);
        elapsed_ = target;
        if (elapsed_ < 3000) {
            return true;
        }
        std::lock_guard guard(lock_);
        done_ = true;
        done_signal_.notify_all();
        return false;
    }

public:
    // The output counts as sounding until this time (ms after the start).
    int64_t quiet_after_ms_ = 0;
    std::vector<std::chrono::milliseconds> waits_;

private:
    int64_t elapsed_ = 0;
    std::multimap<int64_t, std::function<void()>> requests_;
    std::mutex lock_;
    std::condition_variable done_signal_;
    bool done_ = false;
};

constexpr int64_t second_start = 1'600'000'000'000LL; // a whole second

TEST(sound_player, plays_in_order_spaced_200_ms_and_drops_expired_entries) {
    struct test_case {
        const char* name;
        int64_t start_wall_ms;
        std::vector<timeline::request> requests;
        timeline::played expected;
    };
    const test_case cases[] = {
        {"a burst: entries behind the fifth expire",
         second_start,
         {{0, 1, 1}, {0, 2, 1}, {0, 3, 1}, {0, 4, 1}, {0, 5, 1}, {0, 1, 1}, {0, 2, 1}},
         {{1000, "new_order.wav"},
          {1200, "new_order_adv.wav"},
          {1400, "new_message.wav"},
          {1600, "fail_pin.wav"},
          {1800, "check_view.wav"}}},
        {"requested in the first second, served at the end of the next",
         second_start + 999,
         {{0, 3, 1}},
         {{1000, "new_message.wav"}}},
        {"no delay: expired by the first look", second_start, {{0, 3, 0}}, {}},
        {"a repeat is dropped while the first waits, queued once it was taken",
         second_start,
         {{0, 1, 1}, {500, 1, 1}, {1100, 1, 1}},
         {{1000, "new_order.wav"}, {1200, "new_order.wav"}}},
        {"an unknown id takes its turn and plays nothing",
         second_start,
         {{0, 9, 1}, {0, 4, 1}},
         {{1200, "fail_pin.wav"}}},
        {"later requests each wait for the next 200 ms step",
         second_start,
         {{1500, 4, 1}, {2050, 5, 1}},
         {{1600, "fail_pin.wav"}, {2200, "check_view.wav"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeline().run(c.start_wall_ms, c.requests), c.expected) << c.name;
    }
}

// Between sounds the player makes no wake-ups: with nothing queued and nothing sounding it sleeps until a
// request comes, then wakes once on its 200 ms steps; while a sound still plays it looks every 200 ms, so that
// the output can release the device once the sound has ended.
TEST(sound_player, sleeps_while_nothing_is_queued_or_sounding) {
    using std::chrono::milliseconds;
    constexpr milliseconds queued = sound_player::until_queued;
    struct test_case {
        const char* name;
        std::vector<timeline::request> requests;
        int64_t quiet_after_ms;
        timeline::played expected;
        std::vector<milliseconds> waits;
    };
    const test_case cases[] = {
        {"no request: asleep from the first look to the end", {}, 0, {}, {milliseconds(1000), queued}},
        {"two requests: woken by each, played on the steps",
         {{1500, 4, 1}, {2050, 5, 1}},
         0,
         {{1600, "fail_pin.wav"}, {2200, "check_view.wav"}},
         {milliseconds(1000), queued, milliseconds(100), queued, milliseconds(150), queued}},
        {"a request on a step is played at that step",
         {{1400, 4, 1}},
         0,
         {{1400, "fail_pin.wav"}},
         {milliseconds(1000), queued, milliseconds(0), queued}},
        {"a sound playing until 1700 ms: looks until it is quiet",
         {{0, 1, 1}},
         1700,
         {{1000, "new_order.wav"}},
         {milliseconds(1000), milliseconds(200), milliseconds(200), milliseconds(200), milliseconds(200), queued}},
    };
    for (const auto& c : cases) {
        timeline line;
        line.quiet_after_ms_ = c.quiet_after_ms;
        EXPECT_EQ(line.run(second_start, c.requests), c.expected) << c.name;
        EXPECT_EQ(line.waits_, c.waits) << c.name;
    }
}

TEST(sound_player, a_request_wakes_the_sleeping_thread_on_the_real_clock) {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> played;
    sound_player player([&](const std::filesystem::path& file) {
        std::lock_guard guard(lock);
        played.push_back(file.filename());
        changed.notify_all();
    });
    player.start_thread();
    player.enqueue(2, 5);
    std::unique_lock guard(lock);
    changed.wait(guard, [&] { return played.size() == 1; });
    guard.unlock();
    player.enqueue(3, 5); // the thread sleeps by now or soon: the request must wake it (and the end end it)
    guard.lock();
    changed.wait(guard, [&] { return played.size() == 2; });
    EXPECT_EQ(played, (std::vector<std::string>{"new_order_adv.wav", "new_message.wav"}));
}

TEST(sound_player, destruction_ends_the_first_wait) {
    sound_player player([](const std::filesystem::path&) { FAIL() << "nothing was due"; });
    player.start_thread();
    player.enqueue(1, 0);
}

TEST(sound_player, play_queues_on_the_process_wide_player_for_the_next_second) {
    manual_clock clock(second_start + 500);
    sound_player::play(3);
    sound_player::play(3);
    EXPECT_EQ(sound_player::instance().pending(), std::vector<int>{3});
}

TEST(sound_player, sound_files_lie_in_the_program_folder) {
    EXPECT_EQ(sound_player::sound_file(2).filename(), "new_order_adv.wav");
    EXPECT_EQ(sound_player::sound_file(2).parent_path().filename(), "sound");
    EXPECT_TRUE(sound_player::sound_file(0).empty());
    EXPECT_TRUE(sound_player::sound_file(6).empty());
}

} // namespace
} // namespace zel
