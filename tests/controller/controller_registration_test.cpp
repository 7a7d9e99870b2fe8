// The exchange with the login servers and the server list file "\cache\servers", against the test dispatch
// server playing a login server; the device registration over HTTP against the loopback HTTP server and by SMS;
// the deployment values.
#include "api/command_names.h"
#include "controller/registration_request.h"
#include "controller/server_list_file.h"
#include "foundation/app_paths.h"
#include "foundation/device_info.h"
#include "foundation/text_utils.h"
#include "platform/system_services.h"
#include "tests/controller/controller_fixture.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zel::controller_::test {
namespace {

using zel_api::update_mask;
namespace fs = std::filesystem;

std::string file_bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

fs::path servers_file() {
    return app_file(L"\\cache\\servers");
}

std::string login_servers_setting(std::initializer_list<int> ports) {
    std::string text;
    for (const int port : ports) {
        text += text.empty() ? "127.0.0.1:" : ",127.0.0.1:";
        text += std::to_string(port);
    }
    return text;
}

struct login_exchange : controller_fixture {
    // The login servers are tried in order: the first one refuses, the second is the script's.
    std::unique_ptr<test_peer> serve(const std::string& fixture) {
        auto server = dispatch_server(fixture, {{"DISPATCH", "4567"}});
        ::setenv("MORVIK_LOGIN_SERVERS", login_servers_setting({unused_port(), server->port()}).c_str(), 1);
        start();
        return server;
    }
    ~login_exchange() override {
        ::unsetenv("MORVIK_LOGIN_SERVERS");
    }

    std::vector<std::wstring> first_addresses() {
        const auto servers = ctl->get_device_servers();
        return servers.empty() ? std::vector<std::wstring>{} : servers[0]->get_server_addrs();
    }
};

TEST_F(login_exchange, device_servers_are_stored_and_written_to_the_cache) {
    auto server = serve("login_server.script");
    ctl->login_reg(true);
    const update_mask done = listener.wait_for(zel_api::disconnect_global_name());
    ASSERT_TRUE(done.test(zel_api::disconnect_global_name()));
    EXPECT_FALSE(ctl->is_registering());
    expect_script_done(*server);

    // The answer's mask came first, then "disconnect_global" alone; no cached list was needed.
    const auto masks = listener.masks();
    ASSERT_EQ(masks.size(), 2u);
    EXPECT_TRUE(masks[0].test(zel_api::obj_device_server_name()));
    EXPECT_TRUE(masks[0].test(zel_api::obj_zero_params_name()));
    const auto servers = ctl->get_device_servers();
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0]->get_server_addrs(), std::vector<std::wstring>{L"127.0.0.1:4567:main"});
    EXPECT_EQ(ctl->get_zero_params()->sms_key, L"K1");

    // The profile request names the device: with a serial number, main-id is the device id and local-id the
    // serial. No "sms-key" was stored yet, so none is sent.
    const std::string expected = "{\"cmd-get-profile\":{\"dev-type\":1,\"main-id\":\"" +
                                 wide_to_utf8(device_info::instance()->device_id()) +
                                 "\",\"local-id\":\"351234567890123\",\"version\":\"3.5.0.1220\"}}";
    ASSERT_FALSE(server->lines("recv command").empty());
    EXPECT_NE(server->lines("recv command")[0].find(expected), std::string::npos) << server->transcript();

    // The file: both records' texts back to back, UTF-16LE, no signature, no terminator.
    const std::string bytes = file_bytes(servers_file());
    EXPECT_EQ(bytes, server_list_file::encode(servers[0]->to_json() + servers[1]->to_json()));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("{\0", 2));
    const std::string cyrillic_t("\x22\x04", 2); // "Т" U+0422, low byte first
    EXPECT_NE(bytes.find(cyrillic_t), std::string::npos);
    EXPECT_FALSE(fs::exists(servers_file().string() + ".tmp"));
}

// A second start while an exchange runs is ignored: both would share the login connection, and the first one's
// end would stop the second.
TEST_F(login_exchange, a_second_exchange_while_one_runs_is_ignored) {
    zel::test::log_capture log;
    auto server = serve("login_server.script");
    ctl->login_reg(true);
    EXPECT_TRUE(ctl->is_registering());
    ctl->login_reg(false);
    EXPECT_NE(log.text().find("controller::login_reg: an exchange with the login servers is under way"),
              std::string::npos)
        << log.text();
    ASSERT_TRUE(listener.wait_for(zel_api::disconnect_global_name()).test(zel_api::disconnect_global_name()));
    EXPECT_FALSE(ctl->is_registering());
    expect_script_done(*server);
    EXPECT_EQ(server->lines("connected").size(), 1u) << server->transcript();
    EXPECT_EQ(server->lines("recv command").size(), 1u) << server->transcript();
    // The one exchange kept what it brought: the second start did not empty the store behind it.
    EXPECT_EQ(ctl->get_device_servers().size(), 2u);
    const auto masks = listener.masks();
    ASSERT_EQ(masks.size(), 2u);
    EXPECT_TRUE(masks[0].test(zel_api::obj_device_server_name()));
}

// "[v6 address]:port" in MORVIK_LOGIN_SERVERS reaches a login server on the IPv6 loopback.
TEST_F(controller_fixture, login_server_on_ipv6) {
    if (!zel::test::has_ipv6_loopback()) {
        GTEST_SKIP() << "this machine has no IPv6 loopback (::1)";
    }
    std::vector<std::string> arguments{"--host", "::1", "--set", "DISPATCH=4567"};
    arguments.push_back(zel::test::source_file("tests/controller/fixtures/login_server.script").string());
    test_peer server("tools/dispatch_server/dispatch_server.py", arguments);
    ::setenv("MORVIK_LOGIN_SERVERS", ("[::1]:" + std::to_string(server.port())).c_str(), 1);
    start();
    ::unsetenv("MORVIK_LOGIN_SERVERS");
    ctl->login_reg(false);
    listener.wait_for(zel_api::disconnect_global_name());
    expect_script_done(server);
    EXPECT_EQ(ctl->get_device_servers().size(), 2u);
}

TEST_F(login_exchange, answer_without_servers_reads_the_cache_back) {
    auto server = serve("login_server_without_servers.script");
    fs::create_directories(servers_file().parent_path());
    std::ofstream(servers_file(), std::ios::binary)
        << server_list_file::encode(device_server_text(7, {L"10.0.0.1:86"}) + device_server_text(8, {L"10.0.0.2:86"}));
    ctl->login_reg(false);
    // "disconnect_global" first, then the cached records as if received.
    const update_mask cached = listener.wait_for(zel_api::obj_device_server_name());
    ASSERT_TRUE(cached.test(zel_api::obj_device_server_name()));
    const auto masks = listener.masks();
    ASSERT_EQ(masks.size(), 3u);
    EXPECT_TRUE(masks[0].test(zel_api::obj_zero_params_name()));
    EXPECT_TRUE(masks[1].test(zel_api::disconnect_global_name()));
    ASSERT_EQ(ctl->get_device_servers().size(), 2u);
    EXPECT_EQ(ctl->get_device_servers()[1]->org_id, 8);
    EXPECT_EQ(ctl->get_zero_params()->sms_key, L"K2");
    expect_script_done(*server);
}

TEST_F(controller_fixture, unreachable_login_servers_fall_back_on_the_cache) {
    ::setenv("MORVIK_LOGIN_SERVERS", login_servers_setting({unused_port(), unused_port()}).c_str(), 1);
    start();
    ::unsetenv("MORVIK_LOGIN_SERVERS");
    server_list_file::save({std::make_shared<zel_api::command::obj_device_server>()});
    const std::wstring saved = server_list_file::load();
    ASSERT_FALSE(saved.empty());
    ctl->login_reg(false);
    listener.wait_for(zel_api::obj_device_server_name());
    EXPECT_EQ(listener.count(zel_api::disconnect_global_name()), 1u);
    EXPECT_EQ(ctl->get_device_servers().size(), 1u);
    EXPECT_EQ(ctl->get_device_servers()[0]->to_json(), saved);
}

TEST(server_list_file, missing_odd_or_broken_files_read_safely) {
    temp_folder folder;
    set_app_folder(folder.path().wstring());
    EXPECT_EQ(server_list_file::load(), L"");
    fs::create_directories(servers_file().parent_path());
    // An odd last byte is dropped; a lone surrogate becomes the replacement character.
    std::ofstream(servers_file(), std::ios::binary) << std::string("{\0\x00\xD8}\0x", 7);
    EXPECT_EQ(server_list_file::load(), L"{\uFFFD}");
    set_app_folder(L"");
}

// The list is replaced through a temporary file: when that can't be written the old list stays whole.
TEST(server_list_file, failed_write_keeps_the_old_list) {
    temp_folder folder;
    set_app_folder(folder.path().wstring());
    auto record = std::make_shared<zel_api::command::obj_device_server>();
    record->org_id = 5;
    ASSERT_TRUE(server_list_file::save({record}));
    const std::string old_bytes = file_bytes(servers_file());
    fs::create_directories(servers_file().string() + ".tmp"); // the temporary's name is taken by a folder
    record->org_id = 6;
    EXPECT_FALSE(server_list_file::save({record, nullptr}));
    EXPECT_EQ(file_bytes(servers_file()), old_bytes);
    set_app_folder(L"");
}

// --------------------------------------------------------------------------------------------- registration

struct http_registration : controller_fixture {
    temp_folder record;
    std::unique_ptr<test_peer> server;

    void serve(const std::string& body, const std::string& host = "127.0.0.1") {
        server = std::make_unique<test_peer>(
            "tests/controller/peers/http_server.py",
            std::vector<std::string>{"--record", record.path().string(), "--body", body, "--host", host});
        const std::string setting = host.find(':') != std::string::npos ? "[" + host + "]" : host;
        ::setenv("MORVIK_REG_HOST", (setting + ":" + std::to_string(server->port())).c_str(), 1);
    }
    ~http_registration() override {
        ::unsetenv("MORVIK_REG_HOST");
    }
    std::shared_ptr<const zel_api::command::login_reply> register_with(const std::wstring& path) {
        start();
        const size_t answered = listener.count(zel_api::command_http_reg_name());
        ctl->start_http_reg(path);
        EXPECT_TRUE(
            listener.wait_for(zel_api::command_http_reg_name(), answered + 1).test(zel_api::command_http_reg_name()));
        return ctl->get_http_reg_result();
    }
};

TEST_F(http_registration, good_answer_is_stored_and_the_request_names_my_agent) {
    serve("{\"status\":\"ok\",\"login\":\"79001234567\",\"text\":\"Готово\"}");
    const auto reply = register_with(L"/pda/?id=79001234567&pass=1111&params=1;351234567890123;ABC");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, L"ok");
    EXPECT_EQ(reply->login, L"79001234567");
    EXPECT_EQ(reply->text, L"Готово");
    const std::string request = file_bytes(record.path() / "1.request");
    EXPECT_EQ(request.rfind("GET /pda/?id=79001234567&pass=1111&params=1;351234567890123;ABC HTTP/1.1\r\n", 0), 0u)
        << request;
    EXPECT_NE(request.find("User-Agent: My_Agent\r\n"), std::string::npos) << request;
}

TEST_F(http_registration, registration_server_on_ipv6) {
    if (!zel::test::has_ipv6_loopback()) {
        GTEST_SKIP() << "this machine has no IPv6 loopback (::1)";
    }
    serve("{\"status\":\"ok\",\"login\":\"79001234567\"}", "::1");
    const auto reply = register_with(L"/pda/?id=79001234567");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, L"ok");
    EXPECT_TRUE(server->wait_for_line("request 1 GET /pda/?id=79001234567")) << server->transcript();
}

TEST_F(http_registration, error_answer_replaces_the_default_error) {
    serve("{\"status\":\"error\",\"errors\":[{\"id\":\"12\",\"text\":\"Неверный код\"}]}");
    const auto reply = register_with(L"/pda/?id=79001234567");
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->errors.size(), 1u);
    EXPECT_EQ(reply->errors[0].id, L"12");
    EXPECT_EQ(reply->errors[0].text, L"Неверный код");
}

TEST_F(http_registration, no_server_or_an_unreadable_answer_gives_the_default_error) {
    for (const bool listening : {false, true}) {
        SCOPED_TRACE(listening ? "unreadable answer" : "no server");
        if (listening) {
            serve("<html>502</html>");
        } else {
            ::setenv("MORVIK_REG_HOST", ("127.0.0.1:" + std::to_string(unused_port())).c_str(), 1);
        }
        const auto reply = register_with(L"/pda/?id=1");
        ASSERT_TRUE(reply);
        ASSERT_EQ(reply->errors.size(), 1u);
        EXPECT_EQ(reply->errors[0].id, L"");
        EXPECT_EQ(reply->errors[0].text, L"Не удается подключиться к серверу регистрации устройств.");
        ctl.reset();
    }
}

// The answer is one JSON text: bytes after it, a NUL above all (the wide text of the answer would end there),
// leave the default error.
TEST(registration_reply, an_answer_with_bytes_after_its_value_gives_the_default_error) {
    using namespace std::string_literals;
    const std::string good = R"({"status":"ok","login":"79001234567"})";
    const struct {
        std::string response;
        bool read;
    } cases[] = {
        {good, true},
        {good + " \r\n", true},
        {good + "\0"s, false},
        {good + "\0junk"s, false},
        {good + "\0" + good, false},
        {good + " x", false},
        {good + good, false},
    };
    for (const auto& c : cases) {
        zel::test::log_capture log;
        const auto reply = registration_reply(c.response);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, c.read ? L"ok" : L"") << c.response;
        ASSERT_EQ(reply->errors.size(), 1u) << c.response;
        EXPECT_EQ(reply->errors[0].text, registration_unreachable_text) << c.response;
        EXPECT_EQ(log.text().find("can't be read") != std::string::npos ||
                      log.text().find("NUL byte") != std::string::npos,
                  !c.read)
            << c.response;
    }
}

// An SMS backend that records what it was asked to send.
struct sms_recorder : system_services {
    bool accept = true;
    std::wstring address;
    std::wstring text;
    bool send_sms(const std::wstring& to, const std::wstring& message, bool) override {
        address = to;
        text = message;
        return accept;
    }
};

TEST_F(controller_fixture, registration_sms_goes_to_the_number_of_the_zero_params) {
    sms_recorder modem;
    system_services::install(&modem);
    start();
    ctl->store().process_packet(L"{\"obj-zero-params\":{\"sms\":\"+79000000000\",\"sms-key\":\"K1\"}}");
    ctl->sms_register();
    listener.wait_for(zel_api::command_sms_register_ok_name());
    EXPECT_EQ(modem.address, L"+79000000000");
    EXPECT_EQ(modem.text, L"a2:1;351234567890123;" + device_info::instance()->device_id() + L";K1");

    modem.accept = false;
    ctl->sms_register();
    listener.wait_for(zel_api::command_sms_register_error_name());
    system_services::install(nullptr);
    // Without a backend (Linux has no SMS service) sending fails the same way.
    ctl->sms_register();
    listener.wait_for(zel_api::command_sms_register_error_name(), 2);
    EXPECT_EQ(listener.count(zel_api::command_sms_register_ok_name()), 1u);
}

// ------------------------------------------------------------------------------------------ deployment values

TEST(server_address, login_server_list_and_registration_host) {
    EXPECT_EQ(parse_server_list("a.example:86, 127.0.0.1:9000,,b.example,[::1]:87", L"86"),
              (std::vector<server_address>{
                  {L"a.example", L"86"}, {L"127.0.0.1", L"9000"}, {L"b.example", L"86"}, {L"::1", L"87"}}));
    EXPECT_TRUE(parse_server_list("", L"86").empty());
    EXPECT_EQ(parse_registration_host("reg.example"), (registration_host{L"reg.example", 80}));
    EXPECT_EQ(parse_registration_host("127.0.0.1:8080"), (registration_host{L"127.0.0.1", 8080}));
    EXPECT_EQ(parse_registration_host("reg.example:x"), (registration_host{L"reg.example", 80}));
    EXPECT_EQ(parse_registration_host("reg.example:70000"), (registration_host{L"reg.example", 80}));

    ::setenv("MORVIK_LOGIN_SERVERS", "127.0.0.1:9100", 1);
    EXPECT_EQ(login_servers(), (std::vector<server_address>{{L"127.0.0.1", L"9100"}}));
    ::unsetenv("MORVIK_LOGIN_SERVERS");
    EXPECT_EQ(login_servers().size(), 2u); // the built-in pair
    EXPECT_EQ(login_servers()[0].port, L"86");
}

} // namespace
} // namespace zel::controller_::test
