// The program itself (app/'s binary) on SDL's dummy video driver: a second start while one runs ends at once
// with 0 and makes no window; SIGTERM ends the running one with 0. The runtime folder is the test's own.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/controller/controller_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using zel::test::temp_folder;

// Starts the program with its standard error in the file.
pid_t start_program(const temp_folder& runtime, const std::string& error_file) {
    const std::string login = "127.0.0.1:" + std::to_string(zel::controller_::test::unused_port());
    const std::string api = "127.0.0.1:" + std::to_string(zel::controller_::test::unused_port());
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        ::unsetenv("MORVIK_DISPLAY");
        ::setenv("MORVIK_RUNTIME_DIR", runtime.path().c_str(), 1);
        ::setenv("MORVIK_LOGIN_SERVERS", login.c_str(), 1);
        ::setenv("MORVIK_API_HOST", api.c_str(), 1);
        const int fd = ::open(error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        ::execl(MORVIK_PROGRAM, MORVIK_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int exit_status(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(program, ASecondStartEndsWithZeroAndSigtermEndsTheFirstWithZero) {
    temp_folder runtime;
    const std::string first_errors = (runtime.path() / "first.err").string();
    const pid_t first = start_program(runtime, first_errors);
    // Safety net only: wait until the first copy has left its logo for the main menu.
    bool up = false;
    for (int i = 0; i < 3000 && !up; ++i) {
        up = read_file(first_errors).find("] : CHANGE_PANEL") != std::string::npos;
        if (!up) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ASSERT_TRUE(up) << read_file(first_errors);

    const std::string second_errors = (runtime.path() / "second.err").string();
    EXPECT_EQ(exit_status(start_program(runtime, second_errors)), 0);
    EXPECT_EQ(read_file(second_errors).find("WM_CREATE"), std::string::npos) << read_file(second_errors);

    ::kill(first, SIGTERM);
    EXPECT_EQ(exit_status(first), 0);
}

} // namespace
