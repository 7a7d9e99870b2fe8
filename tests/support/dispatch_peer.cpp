#include "tests/support/dispatch_peer.h"

#include <vector>

#include <gtest/gtest.h>

namespace zel::test {

std::unique_ptr<test_peer> dispatch_server(const std::string& script, const std::map<std::string, std::string>& values,
                                           int keepalive_ms) {
    std::vector<std::string> arguments;
    if (keepalive_ms != 0) {
        arguments.push_back("--keepalive-ms");
        arguments.push_back(std::to_string(keepalive_ms));
    }
    for (const auto& [name, value] : values) {
        arguments.push_back("--set");
        arguments.push_back(name + "=" + value);
    }
    arguments.push_back(source_file(script).string());
    return std::make_unique<test_peer>("tools/dispatch_server/dispatch_server.py", arguments);
}

std::vector<std::string> received_commands(const test_peer& server) {
    std::vector<std::string> payloads;
    for (const std::string& line : server.lines("recv command ")) {
        std::size_t at = line.find(" len=");
        at = at == std::string::npos ? at : line.find(' ', at + 1);
        payloads.push_back(at == std::string::npos ? std::string() : line.substr(at + 1));
    }
    return payloads;
}

void expect_script_done(test_peer& server) {
    EXPECT_TRUE(server.wait_for_line("done")) << server.transcript();
    EXPECT_TRUE(server.lines("FAIL").empty()) << server.transcript();
}

} // namespace zel::test
