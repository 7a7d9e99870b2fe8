// process_control's default backend with real programs: the arguments reach the program as given, a missing
// program is a logged failure, a started program is reaped when it ends, and the end of this process is
// immediate with its code.
#include "platform/process_control.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits until the condition holds (a safety limit for the child, not a timing).
bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 2000; ++i) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// The state letter of a process in /proc ('Z' for a zombie); 0 when no such process is left.
char process_state(const std::string& pid) {
    std::string stat;
    try {
        stat = read_text("/proc/" + pid + "/stat");
    } catch (const std::ios_base::failure&) {
        return 0; // reaped between the open and the read: the read fails with "No such process"
    }
    const auto close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() ? 0 : stat[close + 2];
}

TEST(process_control, a_started_program_gets_its_arguments_as_given) {
    zel::test::temp_folder folder;
    const fs::path out = folder.path() / "out";
    struct start_case {
        const char* what;
        std::wstring program;
        std::wstring argument;
        const char* written;
    };
    const start_case cases[] = {
        {"a path", L"/bin/sh", L"one argument with spaces", "one argument with spaces"},
        {"a name looked up in PATH", L"sh", L"Да; $HOME *", "Да; $HOME *"},
    };
    for (const start_case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(out);
        // The script writes its first argument to the file named by its second, through a temporary so the
        // test never reads half a file.
        ASSERT_TRUE(process_control::current().start_program(
            c.program,
            {L"-c", LR"(printf '%s' "$1" > "$2.tmp" && mv "$2.tmp" "$2")", L"sh", c.argument, out.wstring()}));
        ASSERT_TRUE(eventually([&] { return fs::exists(out); }));
        EXPECT_EQ(read_text(out), c.written);
    }
}

TEST(process_control, a_missing_program_is_not_started_and_says_why) {
    for (const wchar_t* program : {L"/nonexistent/morvik-program", L"morvik-no-such-program"}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(process_control::current().start_program(program, {L"1234"}));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("cannot start " + std::string(program, program + std::wcslen(program)) +
                            ": No such file or directory"),
                  std::string::npos)
            << said;
    }
}

TEST(process_control, a_program_that_ended_is_reaped) {
    zel::test::temp_folder folder;
    const fs::path pid_file = folder.path() / "pid";
    ASSERT_TRUE(process_control::current().start_program(
        L"/bin/sh", {L"-c", LR"(echo $$ > "$1.tmp" && mv "$1.tmp" "$1")", L"sh", pid_file.wstring()}));
    ASSERT_TRUE(eventually([&] { return fs::exists(pid_file); }));
    std::string pid = read_text(pid_file);
    while (!pid.empty() && pid.back() == '\n') {
        pid.pop_back();
    }
    ASSERT_FALSE(pid.empty());
    // A child nobody waits for would stay behind as a zombie ('Z') for as long as this process lives.
    EXPECT_TRUE(eventually([&] { return process_state(pid) == 0; })) << "state " << process_state(pid);
}

TEST(process_control, a_recorder_replaces_the_backend_until_it_is_removed) {
    struct recorder : process_control {
        bool start_program(const std::wstring&, const std::vector<std::wstring>&) override {
            ++starts;
            return true;
        }
        void end_this_process(int) override {
            ++ends;
        }
        int starts = 0;
        int ends = 0;
    } installed;
    process_control::install(&installed);
    EXPECT_TRUE(process_control::current().start_program(L"/nonexistent/morvik-program", {}));
    process_control::current().end_this_process(0);
    process_control::install(nullptr);
    EXPECT_EQ(installed.starts, 1);
    EXPECT_EQ(installed.ends, 1);
    EXPECT_NE(&process_control::current(), &installed);
}

TEST(process_control_death, the_end_of_this_process_is_immediate_with_its_code) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Nothing registered to run at a normal exit runs: the end skips the static destructors and atexit.
    EXPECT_EXIT(
        {
            std::atexit([] { std::fputs("atexit ran\n", stderr); });
            process_control::current().end_this_process(3);
        },
        testing::ExitedWithCode(3), "^$");
}

} // namespace
