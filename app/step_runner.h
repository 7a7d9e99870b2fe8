// Follows the steps of a step file on the UI thread, between messages: each step is logged ("step N: <line>",
// info) and runs once everything posted, input, invalid or due has been dispatched. A wait dispatches, checks and
// sleeps a few real milliseconds in turn until its condition holds or its real-time limit passes (a safety net for
// the servers' answers, never a timing). Virtual time moves in steps of at most one second; after each the GPS
// service refreshes once and everything due is dispatched. A full repaint invalidates the whole window and
// dispatches, and its texts are those the recorder kept meanwhile.
//
//   step N logged -> dispatch -> run --ok--> next step ... steps run out: "the steps ran out", exit code 4
//                                    --fails--> "step N: <line>: <reason>" (error), exit code 3
//
// Both ends go through process_control; the program's own ends (a close step among them) keep theirs. drive
// talks to the runner on the other side by lines: "fix" out, "LAT LON" in.
//
// UI thread only. The receiver's reading comes from the GPS device's threads, the recorder's texts from drawing.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/screen_texts.h"
#include "app/step_file.h"
#include "platform/win_types.h"

namespace zel::gps {
class fix_source;
class gps_manager;
} // namespace zel::gps

namespace zel::app {

class pinned_clock;

class step_runner {
public:
    // What the steps act on; everything outlives the runner.
    struct parts {
        HWND window = nullptr;
        pinned_clock* clock = nullptr;
        gps::gps_manager* gps = nullptr;
        gps::fix_source* receiver = nullptr;
        screen_texts* texts = nullptr; // installed as the text recorder
        int route_in = 0;              // drive reads "LAT LON" lines here (-1: closed)
        int route_out = 1;             // and writes "fix" lines here
    };

    step_runner(std::vector<step> steps, parts with);

    // Runs the steps in order and ends the process (see above); returns only when process_control returns.
    void run();

private:
    enum class input { line, closed, timed_out };

    // Runs one step: the reason it failed, or empty.
    std::string run_step(const step& s);

    void dispatch();
    // Dispatches until done() holds (true) or the limit passes (false).
    template <typename Done> bool wait_until(Done done, std::chrono::milliseconds limit);
    // The texts that a full repaint draws.
    std::vector<screen_texts::drawn_text> repaint();
    bool drawn(const std::wstring& text);
    void tap(int x, int y);
    std::string tap_text(const std::wstring& text);
    void advance(int64_t ms);
    std::string drive(const step& s);
    input read_route_line(std::string& line, std::chrono::milliseconds limit);

    const std::vector<step> steps_;
    const parts parts_;
    std::string route_buffer_; // bytes of route_in after the last whole line
    bool route_closed_;
};

} // namespace zel::app
