// Shared pieces of the track and trip-data tests: a folder standing in for the program folder, the loopback
// HTTP server (tests/controller/peers/http_server.py) with its recorded requests, and a capture of log lines.
#pragma once

#include "tests/controller/test_peer.h"
#include "tests/support/log_capture.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zel::gps::test {

using zel::test::temp_folder;
using zel::test::test_peer;

// A recorded request: its head (request line and headers) and its body.
struct recorded_request {
    std::string head;
    std::string body;
};

// The loopback HTTP server, answering every request with status and body.
class upload_server {
public:
    explicit upload_server(int status = 200, const std::string& body = "");

    int port() const {
        return peer_->port();
    }
    // Waits until request number (from 1) has come, with its method and path, and returns it.
    recorded_request request(int number, const std::string& method_and_path);
    // How many requests came so far.
    size_t requests() const;
    std::string transcript() const {
        return peer_->transcript();
    }

private:
    temp_folder record_;
    std::unique_ptr<test_peer> peer_;
};

// The bytes of a file, or "(missing)" when it cannot be opened.
std::string file_bytes(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::string& bytes);
// The names of the files in folder, sorted.
std::vector<std::string> names_in(const std::filesystem::path& folder);

using zel::test::log_capture;

} // namespace zel::gps::test
