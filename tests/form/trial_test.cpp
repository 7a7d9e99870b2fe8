// The local trial, as scripts/run starts it, without a display: the built terminal in a folder of its own
// against the test dispatch server playing the trial script reaches the main menu, and SIGTERM ends it
// cleanly. Also the server's wait limit, which the trial lifts.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "tests/form/trial_terminal.h"

namespace fs = std::filesystem;
using zel::test::test_peer;
using zel::test::trial_terminal;

namespace {

TEST(trial, terminal_reaches_the_main_menu_and_ends_on_sigterm) {
    trial_terminal trial;
    ASSERT_TRUE(trial.start());
    EXPECT_TRUE(trial.dispatch().wait_for_line("recv command id=1 flag=0")) << trial.dispatch().transcript();
    const auto profile = trial.dispatch().lines("recv command");
    ASSERT_FALSE(profile.empty());
    EXPECT_NE(profile[0].find("{\"cmd-get-profile\":"), std::string::npos) << profile[0];
    EXPECT_TRUE(trial.dispatch().wait_for_line("closed")) << trial.dispatch().transcript();
    EXPECT_TRUE(trial.wait_until([&] { return fs::exists(trial.folder() / "cache" / "servers"); }));

    // The logo's reset to the main menu comes after the login server's answer has been read.
    auto switched_after_exchange = [&] {
        const auto lines = trial.log_lines();
        const auto answer = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("\"obj-device-server\"") != std::string::npos;
        });
        return answer != lines.end() && std::any_of(answer, lines.end(), [](const std::string& line) {
                   return line.find("CHANGE_PANEL") != std::string::npos;
               });
    };
    EXPECT_TRUE(trial.wait_until(switched_after_exchange));
    EXPECT_TRUE(trial.running());
    EXPECT_EQ(trial.stop(), 0);
    const auto lines = trial.log_lines();
    EXPECT_TRUE(switched_after_exchange()) << [&] {
        std::string all;
        for (const auto& line : lines) {
            all += line + "\n";
        }
        return all;
    }();
}

// A connection that sends nothing, to a server with the given wait limit.
struct silent_terminal {
    explicit silent_terminal(int port) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~silent_terminal() {
        ::close(fd);
    }
    int fd;
    bool connected;
};

TEST(trial_server, a_wait_limit_fails_a_silent_terminal_and_names_the_step) {
    test_peer server("tools/dispatch_server/dispatch_server.py",
                     {"--wait-seconds", "1", zel::test::source_file("tools/dispatch_server/trial.script").string()});
    silent_terminal terminal(server.port());
    ASSERT_TRUE(terminal.connected);
    ASSERT_TRUE(server.wait_for_line("FAIL")) << server.transcript();
    EXPECT_NE(server.lines("FAIL")[0].find("timed out waiting for command"), std::string::npos)
        << server.transcript();
    EXPECT_EQ(server.stop(), 1);
}

} // namespace
