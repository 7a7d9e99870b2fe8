// The step file as the program reads it: every step's words, quotes and escapes, the limits of its numbers, and a
// bad line's message naming the line by its number in the file.
#include "app/step_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace zel::app {
namespace {

using kind = step::kind;
using std::chrono::milliseconds;

struct good_case {
    std::string line;
    kind what;
    std::wstring text = {};
    int64_t number = 0;
    milliseconds limit = default_step_limit;
    std::string name = {};
    int x = 0;
    int y = 0;
};

TEST(step_file, good_lines) {
    const good_case cases[] = {
        {"clock 1600056300", kind::clock, {}, 1600056300},
        {"clock 0", kind::clock, {}, 0},
        {"wait panel 2", kind::wait_panel, {}, 2},
        {"wait panel -2 5", kind::wait_panel, {}, -2, milliseconds(5000)},
        {"wait panel 7 0.25", kind::wait_panel, {}, 7, milliseconds(250)},
        {"wait text \"Организация\"", kind::wait_text, L"Организация"},
        {"wait text \"Неверный PIN\" 60", kind::wait_text, L"Неверный PIN", 0, milliseconds(60000)},
        {"wait gone \"Связь\"", kind::wait_gone, L"Связь"},
        {"wait gps", kind::wait_gps},
        {"wait gps 3", kind::wait_gps, {}, 0, milliseconds(3000)},
        {"tap \"Взять заказ\"", kind::tap_text, L"Взять заказ"},
        {"tap \"say \\\"hi\\\"\"", kind::tap_text, L"say \"hi\""},
        {"tap \"a\\\\b\"", kind::tap_text, L"a\\b"},
        {"tap \"  two  blanks  \"", kind::tap_text, L"  two  blanks  "},
        {"tap 240 400", kind::tap_point, {}, 0, default_step_limit, {}, 240, 400},
        {"tap 0 0", kind::tap_point},
        {"type \"1234\"", kind::type, L"1234"},
        {"advance 1500", kind::advance, {}, 1500},
        {"drive 30", kind::drive, {}, 30},
        {"snapshot menu_480x800", kind::snapshot, {}, 0, default_step_limit, "menu_480x800"},
        {"snapshot a-b.c", kind::snapshot, {}, 0, default_step_limit, "a-b.c"},
        {"close", kind::close},
        {"\t  close \t", kind::close},
        {"wait\ttext\t\"x\"", kind::wait_text, L"x"},
    };
    for (const auto& c : cases) {
        const step_file file = step_file::parse(c.line);
        ASSERT_EQ(file.error(), "") << c.line;
        ASSERT_EQ(file.steps().size(), 1u) << c.line;
        const step& s = file.steps().front();
        EXPECT_EQ(s.what, c.what) << c.line;
        EXPECT_EQ(s.text, c.text) << c.line;
        EXPECT_EQ(s.number, c.number) << c.line;
        EXPECT_EQ(s.limit, c.limit) << c.line;
        EXPECT_EQ(s.name, c.name) << c.line;
        EXPECT_EQ(s.x, c.x) << c.line;
        EXPECT_EQ(s.y, c.y) << c.line;
        EXPECT_EQ(s.line, 1) << c.line;
    }
}

TEST(step_file, bad_lines_name_their_line_and_reason) {
    const std::pair<std::string, std::string> cases[] = {
        {"jump 3", "unknown step \"jump\""},
        {"\"tap\" 1 2", "unknown step \"tap\""},
        {"Close", "unknown step \"Close\""},
        {"wait", "missing what to wait for (panel, text, gone or gps)"},
        {"wait page 2", "unknown wait \"page\" (panel, text, gone or gps)"},
        {"wait panel", "missing ID"},
        {"wait panel two", "ID must be a whole number from -2147483648 to 2147483647"},
        {"wait panel 2147483648", "ID must be a whole number from -2147483648 to 2147483647"},
        {"wait panel 2 0", "LIMIT must be seconds above 0, at most 600"},
        {"wait panel 2 601", "LIMIT must be seconds above 0, at most 600"},
        {"wait panel 2 -1", "LIMIT must be seconds above 0, at most 600"},
        {"wait panel 2 1e3", "LIMIT must be seconds above 0, at most 600"},
        {"wait panel 2 .5", "LIMIT must be seconds above 0, at most 600"},
        {"wait panel 2 \"5\"", "LIMIT must be seconds above 0, at most 600"},
        {"wait panel 2 5 6", "unexpected \"6\""},
        {"wait text", "missing TEXT"},
        {"wait text Меню", "TEXT must be in double quotes"},
        {"wait text \"\"", "empty TEXT"},
        {"wait gone \"open", "unterminated quote"},
        {"wait gone \"open\\\"", "unterminated quote"},
        {"wait gone \"a\\", "unterminated quote"},
        {"wait gps now", "LIMIT must be seconds above 0, at most 600"},
        {"tap", "missing TEXT or X Y"},
        {"tap \"a\\nb\"", "unknown escape \\n"},
        {"tap \"a\"b", "no blank after the closing quote"},
        {"tap a\"b\"", "a quote inside a word"},
        {"tap Меню", "TEXT must be in double quotes"},
        {"tap 10", "missing Y"},
        {"tap -1 10", "X must be a whole number from 0 to 32767"},
        {"tap 10 32768", "Y must be a whole number from 0 to 32767"},
        {"tap 10 20 30", "unexpected \"30\""},
        {"tap \"Ок\" 5", "unexpected \"5\""},
        {"tap \"\xff\"", "TEXT is not UTF-8"},
        {"type", "missing CHARS"},
        {"type 1234", "CHARS must be in double quotes"},
        {"advance", "missing MS"},
        {"advance 0", "MS must be a whole number from 1 to 86400000"},
        {"advance 86400001", "MS must be a whole number from 1 to 86400000"},
        {"advance 1.5", "MS must be a whole number from 1 to 86400000"},
        {"drive", "missing SECONDS"},
        {"drive 3601", "SECONDS must be a whole number from 1 to 3600"},
        {"clock -1", "SECONDS must be a whole number from 0 to 4102444800"},
        {"clock 1600056300 20", "unexpected \"20\""},
        {"snapshot", "missing NAME"},
        {"snapshot ../menu", "NAME must be letters, digits, \"_\", \"-\" and \".\" (not first), at most 100"},
        {"snapshot .hidden", "NAME must be letters, digits, \"_\", \"-\" and \".\" (not first), at most 100"},
        {"snapshot \"menu\"", "NAME must be letters, digits, \"_\", \"-\" and \".\" (not first), at most 100"},
        {"snapshot " + std::string(101, 'a'),
         "NAME must be letters, digits, \"_\", \"-\" and \".\" (not first), at most 100"},
        {"close now", "unexpected \"now\""},
    };
    for (const auto& [line, reason] : cases) {
        // The bad line is the fourth of the file: a comment, a blank line and a good step come first.
        const step_file file = step_file::parse("# a journey\n\nwait panel 2\n" + line + "\nclose\n");
        EXPECT_EQ(file.error(), "step 4: " + line + ": " + reason);
        EXPECT_TRUE(file.steps().empty()) << line;
    }
}

TEST(step_file, comments_blank_lines_and_line_ends) {
    const step_file file =
        step_file::parse("# the menu\r\n\r\n   \n  # indented comment\nwait panel 2\r\n\ttap \"Меню\"  \r\nclose");
    ASSERT_EQ(file.error(), "");
    ASSERT_EQ(file.steps().size(), 3u);
    EXPECT_EQ(file.steps()[0].line, 5);
    EXPECT_EQ(file.steps()[0].title(), "step 5: wait panel 2");
    EXPECT_EQ(file.steps()[1].title(), "step 6: tap \"Меню\"");
    EXPECT_EQ(file.steps()[1].text, L"Меню");
    EXPECT_EQ(file.steps()[2].title(), "step 7: close");
    EXPECT_TRUE(step_file::parse("").steps().empty());
    EXPECT_EQ(step_file::parse("").error(), "");
}

TEST(step_file, the_start_moment_is_that_of_the_leading_clock_steps) {
    EXPECT_EQ(step_file::parse("wait panel 2\n").start_seconds(), default_clock_seconds);
    EXPECT_EQ(step_file::parse("# noon\nclock 1600000000\nclock 1600000100\nwait panel 2\n").start_seconds(),
              1600000100);
    // A clock step after another step pins the clock when it runs, not at start.
    EXPECT_EQ(step_file::parse("wait panel 2\nclock 1600000000\n").start_seconds(), default_clock_seconds);
}

TEST(step_file, reading_the_file) {
    zel::test::temp_folder folder;
    const auto path = (folder.path() / "journey.steps").string();
    std::ofstream(path) << "wait panel 2\nsnapshot menu\n";
    const step_file file = step_file::read(path);
    EXPECT_EQ(file.error(), "");
    EXPECT_EQ(file.steps().size(), 2u);

    const auto missing = (folder.path() / "missing.steps").string();
    EXPECT_EQ(step_file::read(missing).error(), "cannot read the step file " + missing);

    const auto big = (folder.path() / "big.steps").string();
    std::ofstream(big) << std::string(step_file::max_bytes + 1, '#');
    EXPECT_EQ(step_file::read(big).error(), "the step file " + big + " is larger than 1048576 bytes");
}

} // namespace
} // namespace zel::app
