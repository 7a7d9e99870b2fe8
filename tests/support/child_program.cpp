#include "tests/support/child_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <thread>

extern char** environ;

namespace zel::test {

child_program::environment child_program::inherited_environment() {
    environment env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        env[entry.substr(0, eq)] = eq == std::string::npos ? "" : entry.substr(eq + 1);
    }
    return env;
}

child_program::~child_program() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (talk_ >= 0) {
        ::close(talk_);
    }
}

bool child_program::start(const std::filesystem::path& program, const std::filesystem::path& folder,
                          const environment& env, const std::filesystem::path& log, bool talk) {
    std::vector<std::string> entries;
    for (const auto& [name, value] : env) {
        entries.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : entries) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    // A socket rather than pipes: a line written after the child ended fails instead of raising SIGPIPE here.
    int ends[2] = {-1, -1};
    if (talk && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    log_ = log;
    const std::string path = program.string();
    const std::string log_path = log.string();
    const std::string cwd = folder.string();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (talk) {
        posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    const int failed = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (talk) {
        ::close(ends[1]);
        talk_ = ends[0];
    }
    if (failed) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool child_program::running() const {
    if (pid_ <= 0 || ended_) {
        return false;
    }
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
        return false;
    }
    return true;
}

int child_program::wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) {
        return still_running;
    }
    const auto end = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended_) {
        return still_running;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : signalled;
}

int child_program::stop(std::chrono::milliseconds limit) {
    if (running()) {
        ::kill(pid_, SIGTERM);
    }
    return wait(limit);
}

std::optional<std::string> child_program::read_line(std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (true) {
        if (const auto line_end = unread_.find('\n'); line_end != std::string::npos) {
            std::string line = unread_.substr(0, line_end);
            unread_.erase(0, line_end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (talk_ < 0 || left.count() <= 0) {
            return std::nullopt;
        }
        pollfd readable{talk_, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char block[4096];
        const ssize_t n = ::recv(talk_, block, sizeof block, 0);
        if (n <= 0) {
            // Closed: what is left has no line end and never gets one.
            ::close(talk_);
            talk_ = -1;
            return std::nullopt;
        }
        unread_.append(block, static_cast<size_t>(n));
    }
}

bool child_program::write_line(const std::string& line) {
    if (talk_ < 0) {
        return false;
    }
    const std::string bytes = line + "\n";
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(talk_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::vector<std::string> child_program::log_lines() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace zel::test
