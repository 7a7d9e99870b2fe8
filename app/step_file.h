// The steps that the program follows in step mode (MORVIK_STEPS names the file). UTF-8, one step a line; blank
// lines and lines whose first non-blank character is "#" are skipped. TEXT is in double quotes (\" a quote, \\ a
// backslash); LIMIT is an optional real-time limit in seconds (default 20, a decimal fraction allowed).
//
//   clock SECONDS             wait panel ID [LIMIT]     wait text "TEXT" [LIMIT]   wait gone "TEXT" [LIMIT]
//   wait gps [LIMIT]          tap "TEXT"                tap X Y                    type "CHARS"
//   advance MS                drive SECONDS             snapshot NAME              close
//
// The whole file is read before the first step runs, so a bad line stops the run before the window exists. Every
// step keeps its line's number in the file: "step N" in the log is that number.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel::app {

// 2020-09-14 04:05:00 UTC (07:05 at UTC+3): the wall clock's moment when the file pins none.
inline constexpr int64_t default_clock_seconds = 1'600'056'300;
inline constexpr std::chrono::milliseconds default_step_limit{20'000};

struct step {
    enum class kind {
        clock,
        wait_panel,
        wait_text,
        wait_gone,
        wait_gps,
        tap_text,
        tap_point,
        type,
        advance,
        drive,
        snapshot,
        close
    };

    kind what = kind::close;
    int line = 0;       // the line's number in the file, from 1
    std::string source; // the line as written, without the blanks around it
    std::wstring text;  // wait text, wait gone, tap "TEXT", type
    std::string name;   // snapshot: the file is NAME.png
    // clock: seconds since 1970; wait panel: the id; advance: milliseconds; drive: seconds
    int64_t number = 0;
    int x = 0; // tap X Y
    int y = 0;
    std::chrono::milliseconds limit = default_step_limit; // waits, and each fix of drive

    // "step N: <line>"
    std::string title() const;
};

class step_file {
public:
    static constexpr std::size_t max_bytes = 1 << 20;

    // The steps of a step file's text. On the first bad line error() names it and steps() is empty.
    static step_file parse(std::string_view text);
    // The file at path; error() also when it cannot be read or is larger than max_bytes.
    static step_file read(const std::string& path);

    const std::vector<step>& steps() const {
        return steps_;
    }
    // Empty when the file is good; else "step N: <line>: <reason>", or why the file cannot be read.
    const std::string& error() const {
        return error_;
    }
    // The wall clock's moment at start: that of the clock steps before any other step, else the default.
    int64_t start_seconds() const;

private:
    std::vector<step> steps_;
    std::string error_;
};

} // namespace zel::app
