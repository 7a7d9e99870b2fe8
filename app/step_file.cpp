#include "app/step_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>

#include "foundation/text_utils.h"

namespace zel::app {

namespace {

constexpr int64_t max_clock_seconds = 4'102'444'800; // 2100-01-01
constexpr int64_t max_advance_ms = 86'400'000;       // a day
constexpr int64_t max_drive_seconds = 3'600;
constexpr int max_coordinate = 32'767;
constexpr double max_limit_seconds = 600;
constexpr std::size_t max_name_length = 100;

struct token {
    std::string value;
    bool quoted = false;
};

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// Splits a line into words and quoted texts; the reason of a malformed line, or empty.
std::string split(std::string_view line, std::vector<token>& out) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (blank(line[i])) {
            ++i;
            continue;
        }
        token t;
        if (line[i] == '"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    t.value += c;
                    continue;
                }
                if (i == line.size()) {
                    break;
                }
                const char escaped = line[i++];
                if (escaped != '"' && escaped != '\\') {
                    return std::string("unknown escape \\") + escaped;
                }
                t.value += escaped;
            }
            if (!closed) {
                return "unterminated quote";
            }
            if (i < line.size() && !blank(line[i])) {
                return "no blank after the closing quote";
            }
        } else {
            while (i < line.size() && !blank(line[i])) {
                if (line[i] == '"') {
                    return "a quote inside a word";
                }
                t.value += line[i++];
            }
        }
        out.push_back(std::move(t));
    }
    return {};
}

std::optional<int64_t> whole_number(const token& t, int64_t low, int64_t high) {
    if (t.quoted || t.value.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    const char* end = t.value.data() + t.value.size();
    const auto [stop, error] = std::from_chars(t.value.data(), end, value);
    if (error != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// Whole or decimal seconds above 0 and at most max_limit_seconds, as milliseconds (at least one).
std::optional<std::chrono::milliseconds> limit_of(const token& t) {
    if (t.quoted || t.value.empty() || t.value.front() < '0' || t.value.front() > '9') {
        return std::nullopt;
    }
    double seconds = 0;
    const char* end = t.value.data() + t.value.size();
    const auto [stop, error] = std::from_chars(t.value.data(), end, seconds, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !(seconds > 0) || seconds > max_limit_seconds) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::max<int64_t>(1, std::llround(seconds * 1000)));
}

bool utf8(const std::string& text) {
    return text.find('\0') == std::string::npos && wide_to_utf8(utf8_to_wide(text)) == text;
}

bool file_name(const std::string& name) {
    if (name.empty() || name.size() > max_name_length || name.front() == '.') {
        return false;
    }
    for (char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                             c == '-' || c == '.';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

// Reads the arguments of one step in order; the first problem is kept as the reason.
class arguments {
public:
    explicit arguments(const std::vector<token>& tokens, std::size_t first) : tokens_(tokens), next_(first) {}

    bool more() const {
        return next_ < tokens_.size();
    }
    const token& peek() const {
        return tokens_[next_];
    }

    std::wstring text(const char* what) {
        if (!more()) {
            fail(std::string("missing ") + what);
            return {};
        }
        const token& t = tokens_[next_++];
        if (!t.quoted) {
            fail(std::string(what) + " must be in double quotes");
        } else if (t.value.empty()) {
            fail(std::string("empty ") + what);
        } else if (!utf8(t.value)) {
            fail(std::string(what) + " is not UTF-8");
        } else {
            return utf8_to_wide(t.value);
        }
        return {};
    }

    int64_t number(const char* what, int64_t low, int64_t high) {
        if (!more()) {
            fail(std::string("missing ") + what);
            return 0;
        }
        const auto value = whole_number(tokens_[next_++], low, high);
        if (!value) {
            fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
                 std::to_string(high));
            return 0;
        }
        return *value;
    }

    void optional_limit(step& s) {
        if (!more()) {
            return;
        }
        const auto value = limit_of(tokens_[next_++]);
        if (!value) {
            fail("LIMIT must be seconds above 0, at most " + std::to_string(static_cast<int>(max_limit_seconds)));
            return;
        }
        s.limit = *value;
    }

    std::string name() {
        if (!more()) {
            fail("missing NAME");
            return {};
        }
        const token& t = tokens_[next_++];
        if (t.quoted || !file_name(t.value)) {
            fail("NAME must be letters, digits, \"_\", \"-\" and \".\" (not first), at most " +
                 std::to_string(max_name_length));
            return {};
        }
        return t.value;
    }

    // The reason of the first problem, or of an argument too many.
    std::string finish() {
        if (reason_.empty() && more()) {
            fail("unexpected \"" + tokens_[next_].value + "\"");
        }
        return reason_;
    }

    void fail(const std::string& reason) {
        if (reason_.empty()) {
            reason_ = reason;
        }
    }

private:
    const std::vector<token>& tokens_;
    std::size_t next_;
    std::string reason_;
};

// Fills the step from its words; the reason when the line is bad.
std::string parse_step(const std::vector<token>& tokens, step& s) {
    const token& head = tokens.front();
    const std::string word = head.quoted ? std::string() : head.value;
    using kind = step::kind;
    if (word == "wait") {
        if (tokens.size() < 2) {
            return "missing what to wait for (panel, text, gone or gps)";
        }
        const token& sub = tokens[1];
        const std::string what = sub.quoted ? std::string() : sub.value;
        arguments args(tokens, 2);
        if (what == "panel") {
            s.what = kind::wait_panel;
            s.number = args.number("ID", INT32_MIN, INT32_MAX);
        } else if (what == "text" || what == "gone") {
            s.what = what == "text" ? kind::wait_text : kind::wait_gone;
            s.text = args.text("TEXT");
        } else if (what == "gps") {
            s.what = kind::wait_gps;
        } else {
            return "unknown wait \"" + sub.value + "\" (panel, text, gone or gps)";
        }
        args.optional_limit(s);
        return args.finish();
    }
    arguments args(tokens, 1);
    if (word == "clock") {
        s.what = kind::clock;
        s.number = args.number("SECONDS", 0, max_clock_seconds);
    } else if (word == "tap") {
        if (!args.more()) {
            return "missing TEXT or X Y";
        }
        const std::string& first = args.peek().value;
        const bool point = !args.peek().quoted && !first.empty() &&
                           ((first.front() >= '0' && first.front() <= '9') || first.front() == '-');
        if (!point) {
            s.what = kind::tap_text;
            s.text = args.text("TEXT");
        } else {
            s.what = kind::tap_point;
            s.x = static_cast<int>(args.number("X", 0, max_coordinate));
            s.y = static_cast<int>(args.number("Y", 0, max_coordinate));
        }
    } else if (word == "type") {
        s.what = kind::type;
        s.text = args.text("CHARS");
    } else if (word == "advance") {
        s.what = kind::advance;
        s.number = args.number("MS", 1, max_advance_ms);
    } else if (word == "drive") {
        s.what = kind::drive;
        s.number = args.number("SECONDS", 1, max_drive_seconds);
    } else if (word == "snapshot") {
        s.what = kind::snapshot;
        s.name = args.name();
    } else if (word == "close") {
        s.what = kind::close;
    } else {
        return "unknown step \"" + head.value + "\"";
    }
    return args.finish();
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && (blank(line.front()) || line.front() == '\r')) {
        line.remove_prefix(1);
    }
    while (!line.empty() && (blank(line.back()) || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

std::string step::title() const {
    return "step " + std::to_string(line) + ": " + source;
}

step_file step_file::parse(std::string_view text) {
    step_file file;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        step s;
        s.line = number;
        s.source = std::string(line);
        std::vector<token> tokens;
        std::string reason = split(line, tokens);
        if (reason.empty()) {
            reason = parse_step(tokens, s);
        }
        if (!reason.empty()) {
            file.steps_.clear();
            file.error_ = s.title() + ": " + reason;
            return file;
        }
        file.steps_.push_back(std::move(s));
    }
    return file;
}

step_file step_file::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    step_file file;
    if (!in) {
        file.error_ = "cannot read the step file " + path;
        return file;
    }
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > max_bytes) {
            file.error_ = "the step file " + path + " is larger than " + std::to_string(max_bytes) + " bytes";
            return file;
        }
    }
    if (in.bad()) {
        file.error_ = "cannot read the step file " + path;
        return file;
    }
    return parse(text);
}

int64_t step_file::start_seconds() const {
    int64_t seconds = default_clock_seconds;
    for (const step& s : steps_) {
        if (s.what != step::kind::clock) {
            break;
        }
        seconds = s.number;
    }
    return seconds;
}

} // namespace zel::app
