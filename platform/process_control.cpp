#include "platform/process_control.h"

#include "platform/platform_log.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

process_control spawning_control;
std::atomic<process_control*> installed{&spawning_control};

} // namespace

bool process_control::start_program(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    texts.push_back(platform::utf8_of(program));
    for (const auto& argument : arguments) {
        texts.push_back(platform::utf8_of(argument));
    }
    std::vector<char*> argv;
    for (auto& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    int error = posix_spawnp(&child, texts[0].c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        platform::log_line("cannot start " + texts[0] + ": " + std::strerror(error));
        return false;
    }
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

void process_control::end_this_process(int exit_code) {
    _exit(exit_code);
}

process_control& process_control::current() {
    return *installed.load(std::memory_order_acquire);
}

void process_control::install(process_control* backend) {
    installed.store(backend ? backend : &spawning_control, std::memory_order_release);
}
