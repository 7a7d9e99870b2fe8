// The box font chosen by the environment: a fresh process with MORVIK_FONT=box measures with box metrics
// from its first font on.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "platform/text.h"

extern char** environ;

namespace zel::form {
namespace {

// Runs in the child only.
TEST(box_font_child, environment_selects_the_box_font) {
    if (!std::getenv("MORVIK_BOX_FONT_CHILD")) {
        GTEST_SKIP() << "runs only in the child process of box_font.environment_selects_it";
    }
    EXPECT_TRUE(platform::box_font());
    font_holder font(22, 400);
    EXPECT_EQ(text_extent(nullptr, font, L"Такси"), (size{55, 22}));
}

int run_child(const std::string& font_variable) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("MORVIK_FONT=", 0) != 0) {
            environment.push_back(entry);
        }
    }
    environment.push_back("MORVIK_BOX_FONT_CHILD=1");
    if (!font_variable.empty()) {
        environment.push_back("MORVIK_FONT=" + font_variable);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=box_font_child.*";
    char* argv[] = {program.data(), filter.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, envp.data()) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(box_font, environment_selects_it) {
    EXPECT_EQ(run_child("box"), 0);
    EXPECT_NE(run_child(""), 0); // the real font measures otherwise, so the child's check must fail
}

} // namespace
} // namespace zel::form
