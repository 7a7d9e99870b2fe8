// The multipart body byte for byte, and posts against the loopback HTTP server (peers/http_server.py).
#include "controller/http/http_client.h"
#include "controller/http/multipart.h"
#include "tests/controller/test_peer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace zel::controller_ {
namespace {

using test::temp_folder;
using test::test_peer;

const std::string boundary = "ACAD11A8-094A-477f-A141-66562458529A";

// A recorded request: its head (request line and headers) and its body.
struct recorded_request {
    std::string head;
    std::string body;
};

recorded_request recorded(const temp_folder& folder, int number) {
    std::ifstream in(folder.path() / (std::to_string(number) + ".request"), std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t end = all.find("\r\n\r\n");
    if (end == std::string::npos) {
        return {all, ""};
    }
    return {all.substr(0, end + 2), all.substr(end + 4)};
}

struct http_fixture : ::testing::Test {
    temp_folder record;
    std::unique_ptr<test_peer> server;

    void start(const std::string& body = "", const std::string& host = "127.0.0.1") {
        server = std::make_unique<test_peer>(
            "tests/controller/peers/http_server.py",
            std::vector<std::string>{"--record", record.path().string(), "--body", body, "--host", host});
    }
};

TEST(multipart, body_is_written_byte_for_byte) {
    multipart_writer writer;
    multipart_write_text(writer, "a", L"b");
    EXPECT_EQ(multipart_finish(writer), "--" + boundary + "\r\n" + "Content-Disposition: form-data; name=\"a\"\r\n" +
                                            "\r\n" + "b\r\n" + "--" + boundary + "--\r\n");

    multipart_writer parts;
    multipart_write_int64(parts, "n", -5);
    multipart_write_float(parts, "f", 1.5);
    multipart_write_text(parts, "t", L"Да");
    const char raw[] = {'\0', '\xff', '\r', '\n'};
    multipart_write_data(parts, "d", raw, sizeof raw);
    const auto part = [](const std::string& name, const std::string& value) {
        return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
    };
    EXPECT_EQ(multipart_finish(parts), part("n", "-5") + part("f", "1.500000") + part("t", "\xD0\x94\xD0\xB0") +
                                           part("d", std::string(raw, sizeof raw)) + "--" + boundary + "--\r\n");

    EXPECT_EQ(multipart_content_type(),
              L"Content-Type: multipart/form-data; boundary=ACAD11A8-094A-477f-A141-66562458529A\r\n");
}

TEST_F(http_fixture, multipart_post_sends_the_designed_request) {
    start("{\"result\":1}");
    multipart_writer writer;
    multipart_write_text(writer, "order-id", L"42");
    multipart_write_float(writer, "cost-idle", 2.25);
    std::string expected_body = writer.body;
    http_client client;
    ASSERT_EQ(client.open(L"127.0.0.1", server->port()), 1);
    EXPECT_EQ(client.post_multipart(L"/zel-driver/add-tax-data/1.0/", writer), 1);
    EXPECT_EQ(client.status(), 200);
    EXPECT_EQ(client.body(), "{\"result\":1}");
    client.close();

    ASSERT_TRUE(server->wait_for_line("request 1 POST /zel-driver/add-tax-data/1.0/")) << server->transcript();
    const recorded_request request = recorded(record, 1);
    expected_body += "--" + boundary + "--\r\n";
    EXPECT_EQ(request.body, expected_body);
    EXPECT_NE(request.head.find("User-Agent: WindowsMobile\r\n"), std::string::npos) << request.head;
    EXPECT_NE(request.head.find("Content-Type: multipart/form-data; boundary=" + boundary + "\r\n"), std::string::npos)
        << request.head;
    EXPECT_EQ(request.head.find("Expect:"), std::string::npos) << request.head;
    EXPECT_EQ(request.head.find("Accept:"), std::string::npos) << request.head;
}

TEST_F(http_fixture, octet_stream_post_sends_raw_bytes_and_reads_the_answer) {
    const std::string answer(5000, 'u');
    start(answer);
    std::string data = "0123456789abcdef0123456789abcdef";
    data += std::string("\0\x01\x02\xff", 4);
    uint32_t size = static_cast<uint32_t>(data.size());
    http_client client;
    EXPECT_EQ(client.content_length(), 0xFFFFFFFFu) << "no answer yet";
    ASSERT_EQ(client.open(L"127.0.0.1", server->port()), 1);
    EXPECT_EQ(client.post_octet_stream(L"/put-track/v1.0", data.data(), size), 1);
    EXPECT_EQ(client.content_length(), 5000u);
    // Read in pieces until the end: a read returns what is there, never more than asked.
    std::string read_back;
    char piece[1024];
    for (uint32_t count = sizeof piece; client.read(piece, count) && count > 0; count = sizeof piece) {
        read_back.append(piece, count);
    }
    EXPECT_EQ(read_back, answer);

    ASSERT_TRUE(server->wait_for_line("request 1 POST /put-track/v1.0")) << server->transcript();
    const recorded_request request = recorded(record, 1);
    EXPECT_EQ(request.body, data);
    EXPECT_NE(request.head.find("Accept: Application/Octet-Stream\r\n"), std::string::npos) << request.head;
    EXPECT_EQ(request.head.find("Content-Type:"), std::string::npos) << request.head;
    EXPECT_EQ(request.head.find("Expect:"), std::string::npos) << request.head;
}

// An IPv6 host (as "[::1]:port" settings give it) is bracketed in the URL; bare, its colons would read as a port.
TEST_F(http_fixture, posts_and_gets_reach_an_ipv6_host) {
    if (!test::has_ipv6_loopback()) {
        GTEST_SKIP() << "this machine has no IPv6 loopback (::1)";
    }
    start("{\"result\":1}", "::1");
    http_client client;
    ASSERT_EQ(client.open(L"::1", server->port()), 1);
    uint32_t size = 3;
    EXPECT_EQ(client.post_octet_stream(L"/put-track/v1.0", "abc", size), 1);
    EXPECT_EQ(client.body(), "{\"result\":1}");
    EXPECT_EQ(client.get(L"/pda/?id=1", "My_Agent"), 1);
    ASSERT_TRUE(server->wait_for_line("request 2 GET /pda/?id=1")) << server->transcript();
    EXPECT_EQ(recorded(record, 1).body, "abc");
}

TEST_F(http_fixture, refusals_are_failures_with_their_status) {
    start("refused");
    for (const long status : {404L, 500L}) {
        SCOPED_TRACE(status);
        http_client client;
        ASSERT_EQ(client.open(L"127.0.0.1", server->port()), 1);
        uint32_t size = 3;
        EXPECT_EQ(client.post_octet_stream(L"/status/" + std::to_wstring(status), "abc", size), 0);
        EXPECT_EQ(client.status(), status);
        multipart_writer writer;
        multipart_write_text(writer, "a", L"b");
        EXPECT_EQ(client.post_multipart(L"/status/" + std::to_wstring(status), writer), 0);
        EXPECT_EQ(client.status(), status);
    }
}

TEST_F(http_fixture, no_server_is_a_transport_failure) {
    start();
    const int port = server->port();
    server->stop();
    http_client client;
    ASSERT_EQ(client.open(L"127.0.0.1", port), 1);
    uint32_t size = 3;
    EXPECT_EQ(client.post_octet_stream(L"/put-track/v1.0", "abc", size), 0);
    EXPECT_EQ(client.status(), 0);
    EXPECT_EQ(client.content_length(), 0xFFFFFFFFu);
    EXPECT_EQ(http_client().open(L"", 80), 0);
}

} // namespace
} // namespace zel::controller_
