// The program update against the loopback FTP server (peers/ftp_server.py, pyftpdlib with SITE MD5).
#include "controller/program_update.h"
#include "foundation/app_paths.h"
#include "foundation/md5.h"
#include "tests/controller/test_peer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace zel::controller_ {
namespace {

namespace fs = std::filesystem;
using test::temp_folder;
using test::test_peer;

std::string file_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_file(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string random_bytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string out(size, '\0');
    for (char& c : out) {
        c = static_cast<char>(generator());
    }
    return out;
}

struct update_fixture : ::testing::Test {
    temp_folder server_root;
    temp_folder program;
    const std::string exe = random_bytes(100000, 1); // four 32 KiB pieces
    const std::string zip = random_bytes(5000, 2);
    std::unique_ptr<test_peer> server;
    std::vector<int32_t> states;
    std::vector<int64_t> progress;

    void SetUp() override {
        write_file(server_root.path() / "public/pdaupdate/update.exe", exe);
        write_file(server_root.path() / "public/pdaupdate/update.zip", zip);
        set_app_folder(program.path().wstring());
    }
    void TearDown() override {
        set_app_folder(L"");
        ::unsetenv("MORVIK_FTP_PORT");
    }

    void start_server(std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--root", server_root.path().string()});
        server = std::make_unique<test_peer>("tests/controller/peers/ftp_server.py", options);
        ::setenv("MORVIK_FTP_PORT", std::to_string(server->port()).c_str(), 1);
    }

    fs::path local(const std::string& name) const {
        return program.path() / "update" / name;
    }

    int run_update(const std::wstring& remote_folder = L"", const std::wstring& host = L"127.0.0.1") {
        states.clear();
        progress.clear();
        program_update update(-1);
        update.set_pause_ms(0);
        update.set_state_callback([&](int32_t state) {
            states.push_back(state);
            if (state == 4) {
                total = update.total_size();
            }
        });
        update.set_progress_callback([&](int64_t done) { progress.push_back(done); });
        return update.start({L"update.exe", L"update.zip"}, host, remote_folder, L"/update/");
    }
    int64_t total = 0;

    // Waits until the run's control connection has ended, then returns the commands the server received.
    std::vector<std::string> commands() {
        EXPECT_TRUE(server->wait_for_line("disconnected")) << server->transcript();
        return server->lines("command ");
    }
};

bool has_command(const std::vector<std::string>& commands, const std::string& prefix) {
    for (const std::string& line : commands) {
        if (line.starts_with("command " + prefix)) {
            return true;
        }
    }
    return false;
}

TEST(program_update_digest, reply_must_carry_32_hexadecimal_characters) {
    const std::string digest = "0123456789abcdef0123456789ABCDEF";
    EXPECT_EQ(digest_of_reply("200 " + digest), digest);
    EXPECT_EQ(digest_of_reply("200 " + digest + " public/pdaupdate/update.exe"), digest);
    EXPECT_EQ(digest_of_reply("200 " + digest.substr(1)), "");
    EXPECT_EQ(digest_of_reply("200 0123456789abcdef0123456789abcdeg"), "");
    EXPECT_EQ(digest_of_reply(""), "");
}

TEST_F(update_fixture, fresh_download_then_nothing_to_do) {
    start_server();
    EXPECT_EQ(run_update(), 1);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 4, 5, 3, 6}));
    EXPECT_EQ(total, 105000);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 105000);
    EXPECT_TRUE(file_text(local("update.exe")) == exe);
    EXPECT_TRUE(file_text(local("update.zip")) == zip);
    EXPECT_FALSE(fs::exists(local("update.exe.t")));
    const auto first = commands();
    EXPECT_TRUE(has_command(first, "USER anonymous")) << server->transcript();
    EXPECT_TRUE(has_command(first, "QUIT")) << server->transcript();
    EXPECT_TRUE(has_command(first, "SITE MD5 public/pdaupdate/update.exe")) << server->transcript();
    EXPECT_TRUE(has_command(first, "RETR public/pdaupdate/update.zip")) << server->transcript();

    EXPECT_EQ(run_update(), 1);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 6}));
    EXPECT_EQ(server->lines("command RETR").size(), 2u) << "nothing downloaded again";
}

TEST_F(update_fixture, ipv6_server) {
    if (!test::has_ipv6_loopback()) {
        GTEST_SKIP() << "this machine has no IPv6 loopback (::1)";
    }
    start_server({"--host", "::1"});
    EXPECT_EQ(run_update(L"", L"::1"), 1);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 4, 5, 3, 6}));
    EXPECT_TRUE(file_text(local("update.exe")) == exe);
}

TEST_F(update_fixture, broken_transfer_is_resumed) {
    start_server({"--break-after", "40000"});
    EXPECT_EQ(run_update(L"public/pdaupdate/"), 0);
    EXPECT_EQ(states.back(), -1);
    const uintmax_t kept = fs::file_size(local("update.exe.t"));
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, exe.size());
    EXPECT_TRUE(file_text(local("update.exe.t")) == exe.substr(0, kept));
    commands();

    EXPECT_EQ(run_update(L"public/pdaupdate/"), 1);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 4, 5, 3, 6}));
    EXPECT_TRUE(has_command(server->lines("command "), "REST " + std::to_string(kept))) << server->transcript();
    EXPECT_GT(progress.front(), static_cast<int64_t>(kept)) << "progress counts the kept bytes";
    EXPECT_TRUE(file_text(local("update.exe")) == exe);
    EXPECT_TRUE(file_text(local("update.zip")) == zip);
}

// Sizes and the progress count past 4 GiB: a sparse remote file of 4 GiB and 1000 bytes, of which a sparse ".t"
// file holds the first 4 GiB; the resumed transfer breaks after 600 more bytes. Narrowed to 32 bits, the total
// and the progress would read as a few thousand bytes.
TEST_F(update_fixture, sizes_of_4_gib_and_more_are_counted_whole) {
    constexpr int64_t four_gib = int64_t{1} << 32;
    const std::string tail = random_bytes(1000, 3);
    const fs::path remote = server_root.path() / "public/pdaupdate/update.exe";
    fs::resize_file(remote, 0);
    fs::resize_file(remote, four_gib);
    std::ofstream(remote, std::ios::binary | std::ios::in | std::ios::out).seekp(four_gib) << tail;
    ASSERT_EQ(fs::file_size(remote), static_cast<uintmax_t>(four_gib + 1000));
    write_file(local("update.exe.t"), "");
    fs::resize_file(local("update.exe.t"), four_gib);
    // A digest of its own: the server need not read 4 GiB to answer it.
    start_server({"--break-after", "600", "--digest", "update.exe=0123456789abcdef0123456789abcdef"});
    EXPECT_EQ(run_update(), 0);
    EXPECT_EQ(states.back(), -1);
    EXPECT_EQ(total, four_gib + 1000 + static_cast<int64_t>(zip.size()));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), four_gib + 600);
    EXPECT_EQ(fs::file_size(local("update.exe.t")), static_cast<uintmax_t>(four_gib + 600));
    EXPECT_TRUE(has_command(commands(), "REST " + std::to_string(four_gib))) << server->transcript();
}

TEST_F(update_fixture, temporary_file_larger_than_the_remote_one_is_started_again) {
    start_server();
    write_file(local("update.exe.t"), exe + "trailing bytes of an older, larger file");
    EXPECT_EQ(run_update(), 1);
    EXPECT_EQ(states.back(), 6);
    EXPECT_TRUE(file_text(local("update.exe")) == exe);
    // (libcurl's "REST 0" only probes that the server can resume.)
    const auto sent = commands();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const std::string& line) {
                                return line.starts_with("command REST ") && line != "command REST 0";
                            }),
              0)
        << server->transcript();
}

TEST_F(update_fixture, refused_resume_starts_the_file_again) {
    start_server({"--no-rest"});
    write_file(local("update.exe.t"), exe.substr(0, 40000));
    EXPECT_EQ(run_update(), 1);
    EXPECT_EQ(states.back(), 6);
    EXPECT_TRUE(file_text(local("update.exe")) == exe);
    EXPECT_TRUE(has_command(commands(), "REST 40000")) << server->transcript();
}

TEST_F(update_fixture, file_that_still_differs_after_the_download_is_an_error) {
    start_server({"--digest", "update.zip=00000000000000000000000000000000"});
    EXPECT_EQ(run_update(), 0);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 4, 5, 3, -1}));
    EXPECT_TRUE(file_text(local("update.exe")) == exe);
    EXPECT_FALSE(fs::exists(local("update.zip")));
    commands();
}

TEST_F(update_fixture, unreadable_remote_digest_ends_the_run) {
    start_server({"--digest", "update.exe=0123456789abcdef"});
    EXPECT_EQ(run_update(), 0);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, -1}));
    EXPECT_FALSE(has_command(commands(), "RETR")) << server->transcript();
}

TEST_F(update_fixture, missing_remote_file_ends_the_run) {
    start_server();
    EXPECT_EQ(run_update(L"elsewhere/"), 0);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, -1}));
    commands();
}

TEST_F(update_fixture, no_server) {
    start_server();
    server->stop();
    EXPECT_EQ(run_update(), 0);
    EXPECT_EQ(states, (std::vector<int32_t>{1, -1}));
}

TEST_F(update_fixture, local_digest_is_lower_case_md5_of_the_file) {
    write_file(local("update.zip"), zip);
    EXPECT_EQ(file_md5_hex(local("update.zip")), md5::hex_digest(zip.data(), zip.size()));
    EXPECT_EQ(file_md5_hex(local("missing")), "");
}

} // namespace
} // namespace zel::controller_
