#include "tests/form/trial_terminal.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace zel::test {

trial_terminal::trial_terminal() {
    const fs::path root = folder_.path();
    fs::copy_file(MORVIK_TERMINAL, root / "morvik");
    fs::copy(fs::path(MORVIK_TERMINAL).parent_path() / "skin", root / "skin", fs::copy_options::recursive);
    fs::copy(fs::path(MORVIK_TERMINAL).parent_path() / "sound", root / "sound", fs::copy_options::recursive);
    fs::create_directories(root / "http");
    dispatch_ = std::make_unique<test_peer>(
        "tools/dispatch_server/dispatch_server.py",
        std::vector<std::string>{source_file("tools/dispatch_server/trial.script").string()});
    http_ = std::make_unique<test_peer>("tests/controller/peers/http_server.py",
                                        std::vector<std::string>{"--record", (root / "http").string()});
}

trial_terminal::~trial_terminal() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool trial_terminal::start(bool on_display) {
    const fs::path root = folder_.path();
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        env[entry.substr(0, eq)] = eq == std::string::npos ? "" : entry.substr(eq + 1);
    }
    if (on_display && env.count("DISPLAY")) {
        env.erase("SDL_VIDEODRIVER");
    } else {
        env["SDL_VIDEODRIVER"] = "dummy";
    }
    env["SDL_AUDIODRIVER"] = "dummy";
    env.erase("MORVIK_DISPLAY");
    env.erase("MORVIK_SCREEN");
    env["MORVIK_RUNTIME_DIR"] = root.string();
    env["MORVIK_GPSD"] = "127.0.0.1:" + std::to_string(unused_port());
    for (int port = 1; port <= 8; ++port) {
        env["MORVIK_COM" + std::to_string(port)] = (root / ("no_device_" + std::to_string(port))).string();
    }
    env["MORVIK_LOGIN_SERVERS"] = "127.0.0.1:" + std::to_string(dispatch_->port());
    env["MORVIK_REG_HOST"] = "127.0.0.1:" + std::to_string(http_->port());
    env["MORVIK_API_HOST"] = "127.0.0.1:" + std::to_string(http_->port());
    std::vector<std::string> entries;
    for (const auto& [name, value] : env) {
        entries.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : entries) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    const std::string program = (root / "morvik").string();
    const std::string log = (root / "terminal.log").string();
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string cwd = root.string();
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    const int failed = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool trial_terminal::running() const {
    if (pid_ <= 0 || ended_) {
        return false;
    }
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
        return false;
    }
    return true;
}

int trial_terminal::stop(std::chrono::seconds limit) {
    if (pid_ <= 0) {
        return -2;
    }
    if (!ended_) {
        ::kill(pid_, SIGTERM);
        const auto end = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < end) {
            sleep_a_little();
        }
        if (!ended_) {
            return -2;
        }
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::vector<std::string> trial_terminal::log_lines() const {
    std::ifstream in(folder_.path() / "terminal.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void trial_terminal::sleep_a_little() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace zel::test
