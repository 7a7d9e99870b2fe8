// Plays the program's five notification sounds one after another from a queue served by one thread, so that
// a burst of events neither cuts sounds off nor piles up stale ones.
//
// Queue: first in, first out; a request is dropped when the entry at the front has the same sound id (only
// the front is compared). An entry expires at now_seconds + its delay (play uses 1 s, so a sound must be
// reached by the end of the next whole second): the thread drops it unplayed once now_seconds is past that.
// enqueue and play may be called from any thread; the queue lock is never held while a sound starts.
//
// Thread: waits 1000 ms once, then looks at the queue every 200 ms from then on: each look takes the front
// entry (under the queue lock) and plays it outside the lock when it has not expired. So at most one sound
// starts every 200 ms; each plays asynchronously and replaces the one still sounding. While the queue is empty
// and the output is quiet (nothing sounds, the device released) the thread sleeps until a request is queued,
// then waits for the next look of the same 200 ms steps (tick_ms counts them), as if it had looked all along.
//
//   state      event                                     next      effect
//   starting   1000 ms passed                            looking   the first look
//   looking    a look: entries wait or the output sounds  looking   the next look 200 ms on
//   looking    a look: queue empty, output quiet         asleep    no wake-ups while idle
//   asleep     a request is queued                       looking   the next look on the 200 ms steps
//   any        destruction                               ended     the wait ends at once
//
// Time: expiry follows now_seconds, the steps tick_ms (foundation/clock.h); the waits go through a waiter
// that tests replace to step a manual clock instead of sleeping.
#pragma once

#include "foundation/stoppable_thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace zel {

class sound_player {
public:
    // Plays one wave file, returning at once.
    using output = std::function<void(const std::filesystem::path& wave_file)>;
    // Waits the given time (until_queued: until a request is queued); returns false when the thread must end
    // instead.
    using waiter = std::function<bool(std::chrono::milliseconds)>;
    // Tells whether the sound started last has ended, releasing the device once it has (called on the thread).
    using quiet_check = std::function<bool()>;
    static constexpr std::chrono::milliseconds until_queued = std::chrono::milliseconds::max();
    // The time from one look at the queue to the next.
    static constexpr std::chrono::milliseconds step = std::chrono::milliseconds(200);

    // The process-wide player: created on first use (playing through the sound device), never destroyed.
    static sound_player& instance();
    // Starts the process-wide player's thread; the main window calls it once.
    static void start();
    // Queues a sound of the process-wide player for the next second: enqueue(id, 1).
    static void play(int sound_id);

    // The program folder's wave file of a sound id (1 to 5), or an empty path for any other id.
    static std::filesystem::path sound_file(int sound_id);

    // A player that plays through out; with no waiter given it waits on the steady clock and its destructor
    // ends the wait at once. Without a quiet check the output counts as quiet at once.
    explicit sound_player(output out, waiter wait = {}, quiet_check quiet = {});
    // Ends the thread (after its current wait) and joins it.
    ~sound_player();
    sound_player(const sound_player&) = delete;
    sound_player& operator=(const sound_player&) = delete;

    // Starts this player's thread; later calls do nothing.
    void start_thread();
    // Queues sound_id with expiry now_seconds + delay_seconds, unless the front entry has the same id.
    void enqueue(int sound_id, int32_t delay_seconds);
    // The sound ids waiting, front first.
    std::vector<int> pending() const;

private:
    struct entry {
        int32_t sound_id;
        int64_t expiry;
    };

    void thread_proc();
    bool wait(std::chrono::milliseconds time);
    // Sleeps until a request is queued, then until the first look of the 200 ms steps from last_look that is
    // not before now; false when the thread must end.
    bool sleep_until_queued(uint32_t& last_look);
    void play_file(int sound_id);

    output out_;
    waiter wait_;
    quiet_check quiet_;

    mutable std::mutex lock_; // guards queue_ and ending_
    std::condition_variable queued_;
    std::deque<entry> queue_;
    bool ending_ = false;

    stoppable_thread thread_;
};

} // namespace zel
