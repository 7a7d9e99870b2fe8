// The packet socket against the test dispatch server (tools/dispatch_server), on loopback.
#include "controller/packet_socket.h"
#include "controller/tcp_socket.h"
#include "foundation/clock.h"
#include "foundation/manual_clock.h"
#include "tests/controller/test_peer.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <netdb.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace zel::controller_ {
namespace {

using test::test_peer;

constexpr char dispatch_server[] = "tools/dispatch_server/dispatch_server.py";

std::unique_ptr<test_peer> scripted_server(const std::string& fixture) {
    return std::make_unique<test_peer>(
        dispatch_server, std::vector<std::string>{test::source_file("tests/controller/fixtures/" + fixture)});
}

std::unique_ptr<test_peer> auto_server(std::vector<std::string> options = {}) {
    return std::make_unique<test_peer>(dispatch_server, options);
}

bytes text_bytes(const std::string& text) {
    return bytes(text.begin(), text.end());
}

std::string text_of(const bytes& data) {
    return std::string(data.begin(), data.end());
}

// Waits (with a safety limit) until the receive thread has seen the link drop.
bool becomes_closed(const packet_socket& link) {
    for (int i = 0; i < 500 && link.is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !link.is_running();
}

// The script ran to its end: "done" printed and no failure.
void expect_script_done(test_peer& server) {
    EXPECT_TRUE(server.wait_for_line("done")) << server.transcript();
    EXPECT_TRUE(server.lines("FAIL").empty()) << server.transcript();
}

TEST(packet_socket, request_is_answered_by_packet_id) {
    auto server = auto_server();
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_TRUE(link.is_running());
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"ping\":{}}"), 30)), "{\"ping\":{}}");
    // The acknowledgement (type 20, same id) was consumed by the wait; the answer was acknowledged back.
    EXPECT_EQ(link.queued(), 0u);
    EXPECT_TRUE(server->wait_for_line("recv ack id=1 ")) << server->transcript();
}

TEST(packet_socket, ids_run_from_1_to_254_then_wrap_to_1) {
    auto server = auto_server();
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    for (int n = 1; n <= 255; ++n) {
        ASSERT_EQ(text_of(link.send_and_wait(text_bytes(std::to_string(n)), 30)), std::to_string(n));
    }
    ASSERT_TRUE(server->wait_for_line("recv command id=1 flag=0 len=3 255")) << server->transcript();
    const auto commands = server->lines("recv command ");
    ASSERT_EQ(commands.size(), 255u);
    EXPECT_EQ(commands[253], "recv command id=254 flag=0 len=3 254");
    EXPECT_EQ(commands[254], "recv command id=1 flag=0 len=3 255");
}

TEST(packet_socket, compressed_answer_push_keep_alive_and_answer_time_out) {
    manual_clock clock;
    auto server = scripted_server("push_and_keepalive.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"login\":{}}"), 30)),
              "{\"cmd-result\":{\"cmd-name\":\"login\",\"result\":1}}");
    ASSERT_TRUE(server->wait_for_line("recv ack id=5 ")) << server->transcript();
    clock.advance_ms(5000);
    const uint32_t before_keep_alive = clock::tick_ms();
    auto request = std::async(std::launch::async, [&] { return link.send_and_wait(text_bytes("{\"wait\":{}}"), 30); });
    expect_script_done(*server); // the keep-alive was answered with its id
    EXPECT_EQ(link.last_activity(), before_keep_alive) << "a keep-alive counts as traffic";
    EXPECT_EQ(text_of(link.pop_command()), "{\"order\":{\"s-id\":\"42\"}}");
    EXPECT_EQ(link.queued(), 0u) << "a keep-alive is answered, not queued";
    // Nothing answers the request: it ends when 30 seconds have passed on the tick, the link still up.
    clock.advance_ms(30001);
    EXPECT_TRUE(request.get().empty());
    EXPECT_TRUE(link.is_running());
}

TEST(packet_socket, every_frame_of_one_read_is_cut_and_acknowledged) {
    auto server = scripted_server("two_frames_in_one_read.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    expect_script_done(*server);
    EXPECT_EQ(text_of(link.pop_command()), "{}");
    EXPECT_EQ(text_of(link.pop_command()), "[]");
}

TEST(packet_socket, polling_thread_leaves_the_waiting_request_its_answer) {
    auto server = scripted_server("answer_beside_push.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    std::atomic<bool> waiting{true};
    std::vector<std::string> popped;
    std::thread poller([&] {
        while (waiting.load()) {
            const bytes command = link.pop_command();
            if (!command.empty()) {
                popped.push_back(text_of(command));
            }
        }
    });
    const bytes answer = link.send_and_wait(text_bytes("{\"ping\":{}}"), 30);
    waiting.store(false);
    poller.join();
    if (const bytes rest = link.pop_command(); !rest.empty()) {
        popped.push_back(text_of(rest));
    }
    EXPECT_EQ(text_of(answer), "{\"a\":1}");
    EXPECT_EQ(popped, std::vector<std::string>{"{\"p\":1}"});
}

TEST(packet_socket, server_closing_the_link_ends_the_wait) {
    manual_clock clock; // frozen: only the dropped link can end the wait
    auto server = scripted_server("server_closes.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_TRUE(link.send_and_wait(text_bytes("{\"ping\":{}}"), 30).empty());
    EXPECT_TRUE(becomes_closed(link));
    expect_script_done(*server);
    EXPECT_TRUE(link.send_and_wait(text_bytes("{\"ping\":{}}"), 30).empty());
}

TEST(packet_socket, broken_frame_drops_the_link) {
    auto server = scripted_server("oversized_length.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    expect_script_done(*server); // the terminal closed the link
    EXPECT_TRUE(becomes_closed(link));
}

// A server that adds packet types must not make the terminal drop the link: each is acknowledged and dropped.
TEST(packet_socket, packets_of_unknown_types_are_acknowledged_and_the_link_stays) {
    test::log_capture log;
    auto server = scripted_server("unknown_types.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    expect_script_done(*server);
    EXPECT_TRUE(link.is_running());
    EXPECT_EQ(text_of(link.pop_command()), "{\"order\":{\"s-id\":\"7\"}}");
    EXPECT_EQ(link.queued(), 0u) << "a packet of an unknown type was queued";
    const std::string lines = log.text();
    for (const char* type : {"type 0 ", "type 42 ", "type 102 ", "type 255 "}) {
        EXPECT_NE(lines.find(type), std::string::npos) << type << "\n" << lines;
    }
    EXPECT_EQ(lines.find("type 42 "), lines.rfind("type 42 ")) << "each type is logged once\n" << lines;
}

TEST(packet_socket, reconnect_starts_clean) {
    auto server = scripted_server("reconnect.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("first"), 30)), "one");
    ASSERT_TRUE(server->wait_for_line("closed")) << server->transcript();
    EXPECT_TRUE(becomes_closed(link));
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_TRUE(link.pop_command().empty()) << "a packet of the old connection survived";
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("second"), 30)), "two");
    expect_script_done(*server);
}

// The test server's "always" rule answers its command whenever it comes: while a step waits for another
// command, and after the script's end, when any other command is a failure.
TEST(dispatch_server, always_answers_its_command_while_steps_wait_and_after_the_end) {
    auto server = scripted_server("always_answers.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"gps-position\":{\"lat\":1}}"), 30)), "{}");
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"login\":{}}"), 30)),
              "{\"cmd-result\":{\"cmd-name\":\"login\",\"ok\":1}}");
    expect_script_done(*server);
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"gps-position\":{\"lat\":2}}"), 30)), "{}");
    EXPECT_TRUE(server->lines("FAIL").empty()) << server->transcript();
    link.send_and_wait(text_bytes("{\"stray\":{}}"), 1);
    ASSERT_TRUE(server->wait_for_line("FAIL")) << server->transcript();
    EXPECT_NE(server->lines("FAIL")[0].find("after the end: unexpected command"), std::string::npos)
        << server->transcript();
    EXPECT_EQ(server->stop(), 1);
}

// A "sleep" step holds the next push back while the link is served: a request sent meanwhile is neither a
// failure nor lost, but answered by the step after the push.
TEST(dispatch_server, sleep_keeps_what_comes_meanwhile_for_the_later_steps) {
    auto server = scripted_server("sleep_then_push.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    ASSERT_FALSE(link.send_and_wait(text_bytes("{\"login\":{}}"), 30).empty());
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"take\":{}}"), 30)),
              "{\"cmd-result\":{\"cmd-name\":\"take\",\"ok\":1}}");
    EXPECT_EQ(text_of(link.pop_command()), "{\"order\":{\"s-id\":\"42\"}}");
    expect_script_done(*server);
    const auto lines = server->lines();
    const auto taken = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& line) { return line.find("{\"take\"") != line.npos; });
    const auto pushed = std::find_if(lines.begin(), lines.end(),
                                     [](const std::string& line) { return line.find("{\"order\"") != line.npos; });
    EXPECT_LT(taken, pushed) << "the request came during the pause\n" << server->transcript();
    EXPECT_EQ(server->stop(), 0);
}

TEST(packet_socket, stop_and_reconnect_while_running) {
    auto server = auto_server({"--keepalive-ms", "5"});
    packet_socket link;
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
        std::string request = "r";
        request += std::to_string(round);
        EXPECT_EQ(text_of(link.send_and_wait(text_bytes(request), 30)), request);
        link.stop();
        EXPECT_FALSE(link.is_running());
    }
    // Connecting again without a stop ends the old link first.
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("last"), 30)), "last");
}

TEST(packet_socket, stop_from_another_thread_ends_a_waiting_request) {
    manual_clock clock;
    auto server = scripted_server("silent_server.script");
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    auto request = std::async(std::launch::async, [&] { return link.send_and_wait(text_bytes("{\"ping\":{}}"), 30); });
    expect_script_done(*server);
    link.stop();
    EXPECT_TRUE(request.get().empty());
}

TEST(packet_socket, destroying_a_connected_socket_ends_its_thread) {
    auto server = auto_server({"--keepalive-ms", "5"});
    for (int round = 0; round < 5; ++round) {
        auto link = std::make_unique<packet_socket>();
        ASSERT_EQ(link->connect(L"127.0.0.1", server->port_text(), 10), 1);
        link.reset(); // the receive thread may be blocked in recv or answering a keep-alive
    }
}

// Waits (with a safety limit) until a connect is under way on another thread.
bool becomes_connecting(const packet_socket& link) {
    for (int i = 0; i < 3000 && !link.state().connecting; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return link.state().connecting;
}

// A connect to a server whose accept queue is full hangs for the system's whole connect wait (minutes). Whatever
// ends the link meanwhile must cut the connect short, not wait it out (and then close what it made).
TEST(packet_socket, stop_cuts_a_connect_in_progress_short) {
    auto full = auto_server({"--full-queue"});
    const std::vector<std::pair<const char*, std::function<void(packet_socket&)>>> enders = {
        {"stop", [](packet_socket& link) { link.stop(); }},
        {"stop of the connecting link", [](packet_socket& link) { EXPECT_TRUE(link.stop(link.state().id)); }},
    };
    for (const auto& [name, end_link] : enders) {
        SCOPED_TRACE(name);
        packet_socket link;
        // No time-out of its own: only the stop can end it within the test's life.
        auto connecting =
            std::async(std::launch::async, [&] { return link.connect(L"127.0.0.1", full->port_text(), 0); });
        ASSERT_TRUE(becomes_connecting(link));
        auto stopping = std::async(std::launch::async, [&] { end_link(link); });
        // Safety limits, far below the connect's own wait.
        ASSERT_EQ(stopping.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the stop waited";
        ASSERT_EQ(connecting.wait_for(std::chrono::seconds(20)), std::future_status::ready);
        EXPECT_EQ(connecting.get(), 0);
        EXPECT_FALSE(link.is_running());
        EXPECT_FALSE(link.state().connecting);
    }
}

// A stop decided for a link that has since been replaced (the listener saw the old one drop while a request
// connected again) leaves the new one alone.
TEST(packet_socket, stop_of_an_old_link_leaves_the_new_one) {
    auto server = auto_server();
    packet_socket link;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    const uint64_t first = link.state().id;
    link.stop(); // as a drop would, before anyone acted on it
    const uint64_t stopped = link.state().id;
    ASSERT_EQ(link.connect(L"127.0.0.1", server->port_text(), 10), 1);
    for (const uint64_t old : {first, stopped}) {
        EXPECT_FALSE(link.stop(old));
        EXPECT_TRUE(link.is_running());
    }
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("still up"), 30)), "still up");
    EXPECT_TRUE(link.stop(link.state().id));
    EXPECT_FALSE(link.is_running());
}

TEST(packet_socket, connects_over_ipv6) {
    if (!test::has_ipv6_loopback()) {
        GTEST_SKIP() << "this machine has no IPv6 loopback (::1)";
    }
    auto server = auto_server({"--host", "::1"});
    packet_socket link;
    ASSERT_EQ(link.connect(L"::1", server->port_text(), 10), 1);
    EXPECT_EQ(text_of(link.send_and_wait(text_bytes("{\"ping\":{}}"), 30)), "{\"ping\":{}}");
}

// A socket whose resolver gives a refused address first and the server's second.
struct two_address_socket : tcp_socket {
    std::string refused_host;
    std::string refused_port;
    std::string live_port;

    address_list resolve(const std::wstring&, const std::wstring&) override {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICHOST;
        addrinfo* first = nullptr;
        addrinfo* second = nullptr;
        if (getaddrinfo(refused_host.c_str(), refused_port.c_str(), &hints, &first) != 0) {
            return nullptr;
        }
        if (getaddrinfo("127.0.0.1", live_port.c_str(), &hints, &second) != 0) {
            freeaddrinfo(first);
            return nullptr;
        }
        // freeaddrinfo walks the whole chain, node by node.
        addrinfo* last = first;
        while (last->ai_next) {
            last = last->ai_next;
        }
        last->ai_next = second;
        return address_list(first);
    }
};

TEST(tcp_socket, tries_every_address_in_order) {
    auto server = auto_server();
    int refused;
    {
        auto gone = auto_server();
        refused = gone->port();
    } // nothing listens there any more
    two_address_socket socket;
    socket.refused_host = test::has_ipv6_loopback() ? "::1" : "127.0.0.1";
    socket.refused_port = std::to_string(refused);
    socket.live_port = std::to_string(server->port());
    ASSERT_EQ(socket.connect(L"server", L"86", 10), 1);
    EXPECT_TRUE(server->wait_for_line("connected")) << server->transcript();
}

TEST(packet_socket, connect_failures_leave_it_closed) {
    packet_socket link;
    int port;
    {
        auto server = auto_server();
        port = server->port();
    } // nothing listens there any more
    EXPECT_EQ(link.connect(L"127.0.0.1", std::to_wstring(port), 5), 0);
    EXPECT_FALSE(link.is_running());
    EXPECT_EQ(link.connect(L"127.0.0.1", L"", 5), 0);
    EXPECT_EQ(link.connect(L"хост", L"86", 5), 0);
    EXPECT_TRUE(link.send_and_wait(text_bytes("x"), 30).empty());
}

} // namespace
} // namespace zel::controller_
