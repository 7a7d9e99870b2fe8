// The track uploader against the loopback HTTP server: the upload id exchange, the track POST byte for byte,
// what each answer does to the file, the queue order, empty files, the lock left free during a post, and a
// pass that throws.
#include "controller/http/http_client.h"
#include "foundation/manual_clock.h"
#include "foundation/text_utils.h"
#include "gps/api_endpoint.h"
#include "gps/track_file.h"
#include "gps/track_recorder.h"
#include "gps/track_uploader.h"
#include "tests/gps/gps_test_support.h"
#include "tests/gps/tracks/upload_test_support.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

namespace zel::gps {
namespace {

using test::file_bytes;
using test::names_in;
using test::temp_folder;
using test::upload_server;
using test::write_bytes;

const std::string uuid = "0123456789abcdef0123456789abcdef";
const std::string uuid_answer = "{\"uuid\":\"" + uuid + "\"}";

struct uploader_fixture : ::testing::Test {
    manual_clock clock{1'600'000'000'000LL};
    temp_folder folder;
    std::filesystem::path track = folder.path() / "track";

    uploader_fixture() {
        std::filesystem::create_directories(track);
    }
    std::unique_ptr<track_uploader> uploader(int port) {
        return std::make_unique<track_uploader>(track, L"127.0.0.1", L"/generate-uuid", static_cast<uint32_t>(port),
                                                L"354000000000001");
    }
    // A track file named by its second, holding one batch of one point at the given latitude.
    std::string add_file(int64_t second, double latitude = 55.0) {
        location l;
        l.latitude = latitude;
        l.accuracy = 3.0f;
        const std::string bytes = encode_track_batch({l});
        write_bytes(track / (std::to_string(second) + ".trk"), bytes);
        return bytes;
    }
    void store_uuid() {
        write_bytes(track / "uuid", uuid);
    }
};

TEST_F(uploader_fixture, the_first_tick_gets_the_upload_id_and_sends_the_newest_file) {
    upload_server server(200, uuid_answer);
    add_file(1600000000, 1.0);
    const std::string middle = add_file(1600000005, 2.0);
    const std::string newest = add_file(1600000010, 3.0);
    auto up = uploader(server.port());

    up->tick();
    const test::recorded_request id = server.request(1, "POST /generate-uuid");
    EXPECT_EQ(id.body, "{\"IMEI\":\"354000000000001\",\"device-name\":\"\",\"device-time\":1600000000}");
    EXPECT_NE(id.head.find("Accept: Application/Octet-Stream\r\n"), std::string::npos) << id.head;
    EXPECT_EQ(file_bytes(track / "uuid"), uuid);
    EXPECT_EQ(up->upload_id(), utf8_to_wide(uuid));
    const test::recorded_request sent = server.request(2, "POST /put-track/v1.0");
    EXPECT_EQ(sent.body, uuid + newest);
    EXPECT_EQ(sent.body.size(), 32u + 40u);
    EXPECT_EQ(names_in(track), (std::vector<std::string>{"1600000000.trk", "1600000005.trk", "uuid"}));

    up->tick();
    EXPECT_EQ(server.request(3, "POST /put-track/v1.0").body, uuid + middle);
    EXPECT_EQ(server.requests(), 3u) << "the id is asked once";

    // A new uploader reads the stored id and asks no more.
    auto again = uploader(server.port());
    again->tick();
    EXPECT_EQ(server.request(4, "POST /put-track/v1.0").body.substr(0, 32), uuid);
    EXPECT_EQ(names_in(track), std::vector<std::string>{"uuid"});
}

TEST_F(uploader_fixture, an_answer_without_a_usable_id_stores_nothing_and_sends_nothing) {
    const struct {
        const char* what;
        std::string answer;
    } cases[] = {
        {"31 characters", "{\"uuid\":\"" + uuid.substr(1) + "\"}"},
        {"33 characters", "{\"uuid\":\"" + uuid + "0\"}"},
        {"not JSON", uuid},
        {"a number", "{\"uuid\":12345678901234567890123456789012}"},
        {"longer than the cap", "{\"uuid\":\"" + uuid + "\",\"pad\":\"" + std::string(2000, 'p') + "\"}"},
    };
    add_file(1600000000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        upload_server server(200, c.answer);
        auto up = uploader(server.port());
        up->tick();
        up->tick();
        server.request(2, "POST /generate-uuid");
        EXPECT_EQ(server.requests(), 2u) << "each tick asks again and sends no track";
        EXPECT_EQ(names_in(track), std::vector<std::string>{"1600000000.trk"});
    }
}

TEST_F(uploader_fixture, only_a_2xx_deletes_and_a_file_refused_three_times_is_moved_aside) {
    store_uuid();
    {
        upload_server server(500);
        add_file(1600000000);
        auto up = uploader(server.port());
        up->tick();
        server.request(1, "POST /put-track/v1.0");
        EXPECT_TRUE(std::filesystem::exists(track / "1600000000.trk")) << "5xx keeps the file";
    }
    {
        auto up = uploader(std::stoi(test::free_port()));
        up->tick();
        EXPECT_TRUE(std::filesystem::exists(track / "1600000000.trk")) << "no server keeps the file";
    }
    upload_server server(404);
    test::log_capture log;
    auto up = uploader(server.port());
    up->tick();
    up->tick();
    server.request(2, "POST /put-track/v1.0");
    EXPECT_TRUE(std::filesystem::exists(track / "1600000000.trk")) << "kept after two refusals";
    up->tick();
    server.request(3, "POST /put-track/v1.0");
    EXPECT_EQ(names_in(track), (std::vector<std::string>{"rejected", "uuid"}));
    EXPECT_EQ(names_in(track / "rejected"), std::vector<std::string>{"1600000000.trk"});
    EXPECT_NE(log.text().find("track upload: 1600000000.trk moved to"), std::string::npos) << log.text();
    up->tick();
    EXPECT_EQ(server.requests(), 3u) << "a file set aside is not offered again";
}

TEST_F(uploader_fixture, a_file_that_failed_waits_behind_the_others) {
    store_uuid();
    upload_server server(503);
    const std::string older = add_file(1600000000, 1.0);
    const std::string newer = add_file(1600000001, 2.0);
    auto up = uploader(server.port());
    up->tick();
    up->tick();
    up->tick();
    EXPECT_EQ(server.request(1, "POST /put-track/v1.0").body, uuid + newer);
    EXPECT_EQ(server.request(2, "POST /put-track/v1.0").body, uuid + older);
    EXPECT_EQ(server.request(3, "POST /put-track/v1.0").body, uuid + newer);
}

TEST_F(uploader_fixture, an_empty_file_is_skipped_and_deleted_after_its_grace) {
    store_uuid();
    upload_server server(200);
    write_bytes(track / "1600000009.trk", "");
    const std::string older = add_file(1600000000);
    auto up = uploader(server.port());
    up->tick();
    EXPECT_EQ(server.request(1, "POST /put-track/v1.0").body, uuid + older);
    clock.advance_ms(59'000);
    up->tick();
    EXPECT_TRUE(std::filesystem::exists(track / "1600000009.trk")) << "an empty file may still be written to";
    clock.advance_ms(1'000);
    up->tick();
    EXPECT_EQ(names_in(track), std::vector<std::string>{"uuid"});
    EXPECT_EQ(server.requests(), 1u) << "an empty file is never sent";
}

// A server that takes one request and answers it only when told to.
class held_server {
public:
    held_server() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 1) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            throw std::runtime_error("cannot listen");
        }
        port_ = ntohs(address.sin_port);
    }
    ~held_server() {
        if (client_ >= 0) {
            ::close(client_);
        }
        ::close(fd_);
    }
    int port() const {
        return port_;
    }
    // Accepts the connection and reads the request up to the end of its body.
    std::string take_request() {
        client_ = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        std::string request;
        char buffer[4096];
        for (;;) {
            const size_t head_end = request.find("\r\n\r\n");
            if (head_end != std::string::npos) {
                const size_t at = request.find("Content-Length: ");
                const size_t length = at == std::string::npos ? 0 : std::stoul(request.substr(at + 16));
                if (request.size() >= head_end + 4 + length) {
                    return request;
                }
            }
            const ssize_t got = ::read(client_, buffer, sizeof buffer);
            if (got <= 0) {
                return request;
            }
            request.append(buffer, static_cast<size_t>(got));
        }
    }
    void answer_ok() {
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        EXPECT_EQ(::write(client_, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
    }

private:
    int fd_ = -1;
    int client_ = -1;
    int port_ = 0;
};

TEST_F(uploader_fixture, the_recorder_writes_while_a_post_waits_and_its_batch_survives_the_delete) {
    store_uuid();
    held_server server;
    const std::string sent = add_file(1600000000, 1.0);
    auto up = uploader(server.port());
    auto pass = std::async(std::launch::async, [&] { up->tick(); });
    const std::string request = server.take_request();
    EXPECT_NE(request.find(uuid + sent), std::string::npos);

    // The post is in flight: the recorder must still get the lock and append to the same second's file.
    track_recorder recorder(100, 30, track);
    location l;
    l.latitude = 2.0;
    l.accuracy = 3.0f;
    recorder.add(l);
    auto flush = std::async(std::launch::async, [&] { recorder.flush(); });
    const bool lock_was_free = flush.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!lock_was_free) {
        server.answer_ok(); // lets the pass end so the test can
    }
    ASSERT_TRUE(lock_was_free) << "the post held the track file lock";
    EXPECT_EQ(file_bytes(track / "1600000000.trk"), sent + encode_track_batch({l}));

    server.answer_ok();
    pass.get();
    EXPECT_EQ(file_bytes(track / "1600000000.trk"), encode_track_batch({l})) << "only the sent bytes go";
}

struct failing_uploader : track_uploader {
    using track_uploader::track_uploader;
    ~failing_uploader() override {
        stop();
    }
    void tick() override {
        if (passes++ == 0) {
            throw std::runtime_error("disk gone");
        }
        track_uploader::tick();
    }
    std::atomic<int> passes{0};
};

TEST_F(uploader_fixture, a_pass_that_throws_is_logged_and_the_thread_goes_on) {
    store_uuid();
    upload_server server(200);
    const std::string bytes = add_file(1600000000);
    test::log_capture log;
    failing_uploader up(track, L"127.0.0.1", L"/generate-uuid", static_cast<uint32_t>(server.port()), L"1",
                        track_uploader::options{std::chrono::milliseconds(1)});
    up.start();
    up.start();
    EXPECT_EQ(server.request(1, "POST /put-track/v1.0").body, uuid + bytes);
    up.stop();
    EXPECT_NE(log.text().find("track upload: the pass failed: disk gone"), std::string::npos) << log.text();
}

TEST(api_endpoint, the_environment_moves_the_host_and_the_port) {
    const struct {
        const char* text;
        const wchar_t* host;
        uint32_t port;
    } cases[] = {
        {"", L"built.in", 8200},      {"api.test", L"api.test", 8200}, {"127.0.0.1:9000", L"127.0.0.1", 9000},
        {"[::1]:9001", L"::1", 9001}, {"[::1]", L"::1", 8200},         {"host:0", L"host", 8200},
        {"host:x1", L"host", 8200},   {"host:70000", L"host", 8200},   {"::1", L"::1", 8200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const api_endpoint endpoint = api_endpoint::parse(c.text, L"built.in", 8200);
        EXPECT_EQ(endpoint.host, c.host);
        EXPECT_EQ(endpoint.port, c.port);
    }
    ::setenv("MORVIK_API_HOST", "127.0.0.1:9002", 1);
    EXPECT_EQ(api_endpoint::local(api_endpoint::track_port).port, 9002u);
    EXPECT_EQ(api_endpoint::local(api_endpoint::trip_data_port).port, 9002u);
    ::setenv("MORVIK_API_HOST", "api.test", 1);
    EXPECT_EQ(api_endpoint::local(api_endpoint::track_port).port, 8200u);
    EXPECT_EQ(api_endpoint::local(api_endpoint::trip_data_port).port, 8359u);
    ::unsetenv("MORVIK_API_HOST");
    EXPECT_NE(api_endpoint::local(8359).host, L"api.test");
}

} // namespace
} // namespace zel::gps
