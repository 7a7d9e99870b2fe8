// The local trial as a test or benchmark runs it: the built terminal copied with its skin and sounds into a
// temporary program folder, started under SDL's dummy drivers against the test dispatch server playing the
// trial script and the loopback HTTP server (both on free ports), with gpsd and every serial port pointed at
// nothing. Its log (standard error) goes to a file in the folder. Used from one thread.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/controller/test_peer.h"
#include "tests/support/child_program.h"
#include "tests/support/temp_folder.h"

namespace zel::test {

class trial_terminal {
public:
    // Lays the folder and starts both servers; start() runs the terminal.
    trial_terminal();
    ~trial_terminal();
    trial_terminal(const trial_terminal&) = delete;
    trial_terminal& operator=(const trial_terminal&) = delete;

    // Starts the terminal; false when it could not be started. With on_display, an X display named by DISPLAY
    // shows the window (SDL's dummy video driver polls its event queue, which would hide how the loop idles).
    bool start(bool on_display = false);
    // Sends SIGTERM and returns the exit status (-1: a signal ended it, -2: it did not end within the limit).
    int stop(std::chrono::seconds limit = std::chrono::seconds(30));
    // The log so far, line by line.
    std::vector<std::string> log_lines() const;
    // Waits until check() holds, looking again every 20 ms (limit: a safety net, not a timing).
    template <typename Check>
    bool wait_until(Check check, std::chrono::seconds limit = std::chrono::seconds(60)) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!check()) {
            if (std::chrono::steady_clock::now() > end || !running()) {
                return check();
            }
            sleep_a_little();
        }
        return true;
    }
    bool running() const {
        return terminal_.running();
    }

    const std::filesystem::path& folder() const {
        return folder_.path();
    }
    test_peer& dispatch() {
        return *dispatch_;
    }
    pid_t pid() const {
        return terminal_.pid();
    }

private:
    static void sleep_a_little();

    temp_folder folder_;
    std::unique_ptr<test_peer> dispatch_;
    std::unique_ptr<test_peer> http_;
    child_program terminal_;
};

} // namespace zel::test
