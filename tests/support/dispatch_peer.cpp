#include "tests/support/dispatch_peer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include <gtest/gtest.h>

namespace zel::test {

int unused_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd); // bound but never listening: a connect there is refused
    return ntohs(address.sin_port);
}

std::unique_ptr<test_peer> dispatch_server(const std::string& script,
                                           const std::map<std::string, std::string>& values) {
    std::vector<std::string> arguments;
    for (const auto& [name, value] : values) {
        arguments.push_back("--set");
        arguments.push_back(name + "=" + value);
    }
    arguments.push_back(source_file(script).string());
    return std::make_unique<test_peer>("tools/dispatch_server/dispatch_server.py", arguments);
}

void expect_script_done(test_peer& server) {
    EXPECT_TRUE(server.wait_for_line("done")) << server.transcript();
    EXPECT_TRUE(server.lines("FAIL").empty()) << server.transcript();
}

} // namespace zel::test
