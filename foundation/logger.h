// Process-wide logger: one line per call, "H:M:S:ms [LEVEL] : text\n" with the UTC time, written to standard
// error under the logger's lock. The lock is held until every byte of the line is out, so lines from
// different threads never interleave, however long (whole packets are logged).
#pragma once

#include <mutex>
#include <string>

namespace zel {

class logger {
public:
    enum level : int { info = 0, warning = 1, error = 2, fatal = 3 };

    // Creates the singleton once; later calls do nothing.
    static void create(int min_level);
    // The singleton, or null before create.
    static logger* instance();

    // Writes one line when level is at least the minimum level; any level outside 0..3 has no prefix.
    void write(int level, const std::wstring& text);
    // Sends lines to another descriptor (tests read them back); -1 restores standard error.
    void set_output_fd(int fd);

    // The line as written, without the time (tests and callers that build one line of their own).
    static std::wstring format_line(int hour, int minute, int second, int millisecond, int level,
                                    const std::wstring& text);

private:
    explicit logger(int min_level) : min_level_(min_level) {}

    int min_level_;
    int fd_ = 2;
    std::recursive_mutex lock_;
};

// Writes through the logger, creating it with minimum level 0 when nothing created it yet.
void log(int level, const std::wstring& text);

} // namespace zel
