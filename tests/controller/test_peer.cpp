#include "tests/controller/test_peer.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace zel::test {
namespace fs = std::filesystem;

fs::path source_file(const std::string& relative) {
    const char* root = std::getenv("MORVIK_SOURCE_DIR");
    return fs::path(root ? root : TEST_SOURCE_DIR) / relative;
}

int unused_port() {
    // Kept bound to the end of the test program: closed, the port could go to a server of another test running
    // beside it, and the connect meant to be refused would reach that server instead.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    // Bound but never listening: a connect there is refused.
    return ntohs(address.sin_port);
}

bool has_ipv6_loopback() {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

test_peer::test_peer(const std::string& script, const std::vector<std::string>& arguments) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> words{MORVIK_TEST_PYTHON, "-u", source_file(script).string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (failed != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + words[0]);
    }
    reader_ = std::thread(&test_peer::read_lines, this, out[0]);
    if (!wait_for_line("listening ")) {
        stop();
        throw std::runtime_error("the peer " + script + " did not start: " + transcript());
    }
    port_ = std::stoi(lines("listening ").front().substr(10));
}

test_peer::~test_peer() {
    stop();
}

void test_peer::read_lines(int fd) {
    std::string pending;
    char block[4096];
    ssize_t n;
    while ((n = ::read(fd, block, sizeof block)) > 0 || (n < 0 && errno == EINTR)) {
        pending.append(block, static_cast<size_t>(n > 0 ? n : 0));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            std::lock_guard guard(lock_);
            lines_.push_back(pending.substr(0, end));
            printed_.notify_all();
        }
    }
    ::close(fd);
    std::lock_guard guard(lock_);
    ended_ = true;
    printed_.notify_all();
}

bool test_peer::wait_for_line(const std::string& prefix, std::chrono::seconds limit) {
    std::unique_lock guard(lock_);
    size_t seen = 0;
    return printed_.wait_for(guard, limit, [&] {
        for (; seen < lines_.size(); ++seen) {
            if (lines_[seen].starts_with(prefix)) {
                return true;
            }
        }
        return ended_;
    }) && seen < lines_.size();
}

std::vector<std::string> test_peer::lines(const std::string& prefix) const {
    std::lock_guard guard(lock_);
    std::vector<std::string> out;
    for (const std::string& line : lines_) {
        if (line.starts_with(prefix)) {
            out.push_back(line);
        }
    }
    return out;
}

std::string test_peer::transcript() const {
    std::string out;
    for (const std::string& line : lines()) {
        out += line + "\n";
    }
    return out;
}

int test_peer::stop() {
    if (pid_ <= 0) {
        return 0;
    }
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (reader_.joinable()) {
        reader_.join();
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace zel::test
