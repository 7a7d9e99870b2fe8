// A peer process of a test (the dispatch, HTTP or FTP test server): started on a free loopback port, its
// standard output read line by line, stopped with SIGTERM when the test ends. Every peer prints
// "listening PORT" first.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace zel::test {

// A file of the source tree (MORVIK_SOURCE_DIR, set by CTest).
std::filesystem::path source_file(const std::string& relative);

// True when this machine has the IPv6 loopback (::1) to listen on; tests of IPv6 skip without it.
bool has_ipv6_loopback();

// A port on loopback where nothing listens, and nothing else can take while the test program runs (a socket
// bound to it stays open).
int unused_port();

class test_peer {
public:
    // Runs a Python script of the source tree with its arguments and waits for its port.
    test_peer(const std::string& script, const std::vector<std::string>& arguments);
    ~test_peer();
    test_peer(const test_peer&) = delete;
    test_peer& operator=(const test_peer&) = delete;

    int port() const {
        return port_;
    }
    std::wstring port_text() const {
        return std::to_wstring(port_);
    }
    // Waits until a line that begins with prefix has been printed (limit: a safety net, not a timing).
    bool wait_for_line(const std::string& prefix, std::chrono::seconds limit = std::chrono::seconds(30));
    // Lines printed so far that begin with prefix.
    std::vector<std::string> lines(const std::string& prefix = "") const;
    // Everything printed so far, for failure messages.
    std::string transcript() const;
    // Sends SIGTERM and returns the exit status (-1 when it died of a signal).
    int stop();

private:
    void read_lines(int fd);

    pid_t pid_ = -1;
    int port_ = 0;
    mutable std::mutex lock_;
    std::condition_variable printed_;
    std::vector<std::string> lines_;
    bool ended_ = false;
    std::thread reader_;
};

} // namespace zel::test
