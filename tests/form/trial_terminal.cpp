#include "tests/form/trial_terminal.h"

#include <thread>

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

trial_terminal::~trial_terminal() = default;

bool trial_terminal::start(bool on_display) {
    const fs::path root = folder_.path();
    child_program::environment env = child_program::inherited_environment();
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
    return terminal_.start(root / "morvik", root, env, root / "terminal.log");
}

int trial_terminal::stop(std::chrono::seconds limit) {
    return terminal_.stop(limit);
}

std::vector<std::string> trial_terminal::log_lines() const {
    return terminal_.log_lines();
}

void trial_terminal::sleep_a_little() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace zel::test
