// A built program run by a test as a child process: started in a folder with an environment of the test's
// making, its standard error written to a log file, and its standard input and output either /dev/null or one
// socket that the test reads and writes line by line. A child still running when this object goes is killed
// (SIGKILL) and reaped. Used from one thread.
//
//   state      event                          next      effect
//   idle       start                          running   the process runs (false: it could not be started)
//   running    running(), wait() see it end   ended     its exit status is kept
//   running    stop                           ended     SIGTERM, then the wait of wait()
//   ended      anything                       ended     the kept status answers
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zel::test {

class child_program {
public:
    using environment = std::map<std::string, std::string>;

    // What running() and wait() report besides an exit code.
    static constexpr int signalled = -1;
    static constexpr int still_running = -2;

    // This process's own environment, for a child's to start from.
    static environment inherited_environment();

    child_program() = default;
    ~child_program();
    child_program(const child_program&) = delete;
    child_program& operator=(const child_program&) = delete;

    // Starts the program in the folder; with talk, its standard input and output are a socket that read_line and
    // write_line use. False when it could not be started.
    bool start(const std::filesystem::path& program, const std::filesystem::path& folder, const environment& env,
               const std::filesystem::path& log, bool talk = false);
    bool running() const;
    // Waits until it ends: its exit code, signalled, or still_running when the limit passed first.
    int wait(std::chrono::milliseconds limit);
    // SIGTERM, then wait(limit).
    int stop(std::chrono::milliseconds limit);
    // The next whole line it wrote to standard output (without the line end), waiting at most `wait` for it;
    // nothing when none came.
    std::optional<std::string> read_line(std::chrono::milliseconds wait);
    // Writes a line (a line end added) to its standard input; false when it reads no more.
    bool write_line(const std::string& line);
    // The log so far, line by line.
    std::vector<std::string> log_lines() const;
    pid_t pid() const {
        return pid_;
    }

private:
    pid_t pid_ = -1;
    mutable int status_ = 0;
    mutable bool ended_ = false;
    int talk_ = -1;
    std::string unread_;
    std::filesystem::path log_;
};

} // namespace zel::test
