// The start-up screen: which offered versions it asks about, the way to the main menu (the end of the login
// exchange, "Нет", Enter on the question), the update against the loopback FTP server up to the updater's start
// and the end of the program, every failure ending in one error dialog, the progress line, and its picture.
#include "tests/form/screen_fixture.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "api/command_names.h"
#include "form/account/panel_logo.h"
#include "form/account/version_number.h"
#include "form/shell/dialog_request.h"
#include "form/shell/panel_dialog_gui.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/support/dispatch_peer.h"

namespace zel::form::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t status_colour = 0xF0D93E;
const std::wstring error_text = L"Ошибка загрузки обновления.";
const std::wstring question_text = L"Есть новая версия, обновить?";

// --- versions

struct version_case {
    const wchar_t* program;
    const wchar_t* offered;
    int order; // compare_versions(program, offered)
    bool newer;
};

TEST(logo_versions, NumbersAreComparedInOrderAndOnlyAParsedNewerOfferCounts) {
    const std::vector<version_case> cases = {
        {L"3.5.0.1220", L"3.5.0.1221", 1, true},
        {L"3.5.0.1220", L"3.5.0.1220", 0, false},
        {L"3.5.0.1220", L"3.4.9.9999", -1, false},
        {L"3.9.0.0", L"3.10.0.0", 1, true}, // as texts "3.10" sorts before "3.9"
        {L"3.5.0.1220", L"4.0.0.0", 1, true},
        {L"3.5.0.1220", L"3.5", -1, false},          // two parts: all 0, and not an offer
        {L"3.5.0.1220", L"3.5.0.1221.7", -1, false}, // five parts
        {L"3.5.0.1220", L"", -1, false},
        {L"3.5.0.1220", L" 3.5.0.1221x", 1, true},      // blanks before, text after a number's digits
        {L"3.5.0.1220", L"3.5.0.99999999999", 1, true}, // beyond 32 bits: the largest, not a wrapped number
        {L"3.5.0.1220", L"3.5.-1.9999", -1, false},
        {L"3.5", L"0.0.0.1", 1, true}, // the program's own unreadable version counts as 0.0.0.0
    };
    for (const version_case& c : cases) {
        SCOPED_TRACE(wide_to_utf8(std::wstring(c.program) + L" against " + c.offered));
        const version_number program(c.program);
        const version_number offered(c.offered);
        EXPECT_EQ(compare_versions(program, offered), c.order);
        EXPECT_EQ(is_newer_version(program, offered), c.newer);
    }
    EXPECT_EQ(version_number(L"3.5").numbers, (std::array<int32_t, 4>{0, 0, 0, 0}));
    EXPECT_FALSE(version_number(L"3.5").parsed);
    EXPECT_EQ(version_number(L"+3. 5.x.-7").numbers, (std::array<int32_t, 4>{3, 5, 0, -7}));
}

// --- the screen

std::string offer_json(const std::wstring& version, const std::string& ftp_path = "pub", int man = 1) {
    return R"({"obj-update":{"device-type":1,"version":")" + wide_to_utf8(version) +
           R"(","srv-ftp":"127.0.0.1","ftp-path":")" + ftp_path + R"(","man":)" + std::to_string(man) + "}}";
}

std::string random_bytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string out(size, '\0');
    for (char& c : out) {
        c = static_cast<char>(generator());
    }
    return out;
}

// The FTP test server serving update.exe (these bytes) and update.zip under pub/ of the root; MORVIK_FTP_PORT
// names it.
std::unique_ptr<zel::test::test_peer> serve_update(const fs::path& root, const std::string& updater_bytes,
                                                   std::vector<std::string> options = {}) {
    fs::create_directories(root / "pub");
    std::ofstream(root / "pub" / "update.exe", std::ios::binary) << updater_bytes;
    std::ofstream(root / "pub" / "update.zip", std::ios::binary) << random_bytes(5000, 2);
    options.insert(options.begin(), {"--root", root.string()});
    auto server = std::make_unique<zel::test::test_peer>("tests/controller/peers/ftp_server.py", options);
    ::setenv("MORVIK_FTP_PORT", std::to_string(server->port()).c_str(), 1);
    return server;
}

panel_logo& logo_of(const manager_2& manager) {
    return *dynamic_cast<panel_logo*>(manager.panel_for(manager_2::logo_id));
}

const dialog_request* dialog_of(const manager_2& manager) {
    auto* dialog = dynamic_cast<panel_dialog_gui*>(manager.current_panel());
    return dialog ? dialog->request() : nullptr;
}

class logo_screen : public screen_fixture {
protected:
    void TearDown() override {
        close();
        ::unsetenv("MORVIK_FTP_PORT");
    }

    // The login server takes the question and never answers: the exchange stays under way, the logo current.
    void open_held() {
        screen_options options;
        options.login_script = "tests/form/fixtures/logo_login_held.script";
        options.dispatch_script.clear();
        open(options);
        ASSERT_TRUE(login_server->wait_for_line("done")) << login_server->transcript();
        run();
        ASSERT_EQ(current_panel_id(), manager_2::logo_id);
    }
    // The login server offers this update and ends the exchange.
    void open_offered(const std::string& offer) {
        screen_options options;
        options.values["UPDATE"] = offer;
        open(options);
        logo().update().set_pause_ms(0);
        ASSERT_TRUE(pump_until([&] { return shown_dialog() != nullptr; }));
        ASSERT_EQ(shown_dialog()->text, question_text);
    }

    panel_logo& logo() {
        return logo_of(*manager);
    }
    const dialog_request* shown_dialog() {
        return dialog_of(*manager);
    }
    // Hands the controller's store an offer, as the login server's answer would.
    void post_offer(const std::wstring& version) {
        manager->post_command(ctl().store().process_packet(utf8_to_wide(offer_json(version))));
    }
    // The end of the login exchange, as the controller posts it.
    void post_disconnect_global() {
        zel_api::update_mask end;
        end.set(zel_api::disconnect_global_name());
        manager->post_command(end);
    }

    // Answers "Да" and pumps until the update thread has ended and everything it posted is handled.
    void answer_yes() {
        ASSERT_TRUE(tap_text(L"Да"));
        ASSERT_TRUE(pump_until([&] { return !logo().update_thread_busy(); }));
        run();
    }
    // The dialogs on the stack.
    int dialogs() const {
        int n = 0;
        for (int id : stack_ids()) {
            n += id == manager_2::dialog_id ? 1 : 0;
        }
        return n;
    }
    std::wstring status_shown() {
        std::wstring status;
        for (const drawn_text& t : screen_texts()) {
            if (t.colour == status_colour) {
                status = t.text;
            }
        }
        return status;
    }

    zel::test::temp_folder ftp_root;
    std::unique_ptr<zel::test::test_peer> ftp;
    const std::string updater_bytes = random_bytes(70000, 1);
};

// The program's own version (a build setting) and offers made from its numbers.
std::wstring version_text(const std::array<int32_t, 4>& n) {
    return std::to_wstring(n[0]) + L"." + std::to_wstring(n[1]) + L"." + std::to_wstring(n[2]) + L"." +
           std::to_wstring(n[3]);
}

TEST_F(logo_screen, OnlyANewerOfferAsksTheQuestion) {
    const version_number own(zel_api::program_version());
    ASSERT_TRUE(own.parsed) << "the program's version is not in four parts";
    const auto& n = own.numbers;
    // With the default version 3.5.0.1220: 3.5.0.1221, 3.10.0.0, 3.5.0.1220, 3.4.9.9999 and 3.5.
    const std::array<int32_t, 4> earlier =
        n[1] > 0 ? std::array<int32_t, 4>{n[0], n[1] - 1, 9, 9999} : std::array<int32_t, 4>{n[0] - 1, 9, 9, 9999};
    const std::vector<std::pair<std::wstring, bool>> offers = {
        {version_text({n[0], n[1], n[2], n[3] + 1}), true},
        {version_text({n[0], n[1] + 5, 0, 0}), true},
        {version_text(n), false},
        {version_text(earlier), false},
        {std::to_wstring(n[0]) + L"." + std::to_wstring(n[1]), false},
    };
    open_held();
    for (const auto& [offered, asks] : offers) {
        SCOPED_TRACE(wide_to_utf8(offered));
        post_offer(offered);
        run();
        if (!asks) {
            EXPECT_EQ(stack_ids(), std::vector<int>{0});
            continue;
        }
        EXPECT_EQ(stack_ids(), (std::vector<int>{manager_2::dialog_id, 0}));
        ASSERT_NE(shown_dialog(), nullptr);
        EXPECT_EQ(shown_dialog()->kind, dialog_request::question);
        EXPECT_EQ(shown_dialog()->text, question_text);
        // Enter pops the question unanswered; the exchange still runs, so the logo waits on.
        platform::headless::key_up(VK_RETURN);
        run();
        EXPECT_EQ(stack_ids(), std::vector<int>{0});
        EXPECT_EQ(current_panel_id(), manager_2::logo_id);
    }
}

TEST_F(logo_screen, TheEndOfTheExchangeBringsTheMenuButNotWhileTheQuestionIsPending) {
    open_held();
    // Both are queued before either is handled: the end of the exchange reaches the logo right after it
    // pushed the question, before the switch to the dialog.
    post_offer(L"99.0.0.0");
    post_disconnect_global();
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{manager_2::dialog_id, 0}));
    // A second offer while it is pending asks nothing more.
    post_offer(L"99.0.0.1");
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{manager_2::dialog_id, 0}));
    // Enter pops the question unanswered: the logo, shown again, goes on to the menu.
    platform::headless::key_up(VK_RETURN);
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
    EXPECT_EQ(current_panel_id(), manager_2::master_id);
}

TEST_F(logo_screen, EnterOnTheQuestionAfterTheExchangeEndedBringsTheMenu) {
    open_offered(offer_json(L"99.0.0.0"));
    ASSERT_TRUE(pump_until([&] { return listener.count(zel_api::disconnect_global_name()) > 0; }));
    run();
    EXPECT_EQ(stack_ids(), (std::vector<int>{manager_2::dialog_id, 0}));
    platform::headless::key_up(VK_RETURN);
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
}

TEST_F(logo_screen, NoLeadsToTheMenu) {
    open_offered(offer_json(L"99.0.0.0"));
    ASSERT_TRUE(tap_text(L"Нет"));
    EXPECT_EQ(stack_ids(), std::vector<int>{manager_2::master_id});
    EXPECT_FALSE(logo().update_running());
    EXPECT_TRUE(processes.starts().empty());
}

TEST_F(logo_screen, YesDownloadsStartsTheUpdaterWithTheProcessIdAndEndsTheProgram) {
    ftp = serve_update(ftp_root.path(), updater_bytes);
    open_offered(offer_json(L"99.0.0.0"));
    gps::location fix;
    fix.accuracy = 5.0f;
    fix.latitude = 55.7;
    fix.longitude = 37.6;
    ctl().on_gps_position(fix); // a track point that the end must not lose
    answer_yes();

    const fs::path updater = folder.path() / "update" / "update.exe";
    ASSERT_EQ(processes.starts().size(), 1u);
    EXPECT_EQ(fs::path(processes.starts()[0].program).lexically_normal(), updater.lexically_normal());
    EXPECT_EQ(processes.starts()[0].arguments, std::vector<std::wstring>{std::to_wstring(::getpid())});
    EXPECT_NE(fs::status(updater).permissions() & fs::perms::owner_exec, fs::perms::none);
    std::ifstream in(updater, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == updater_bytes);
    ASSERT_EQ(processes.ends().size(), 1u);
    EXPECT_EQ(processes.ends()[0].exit_code, 0);
    EXPECT_GT(processes.ends()[0].track_files, 0) << "the track was not flushed before the end";
    EXPECT_EQ(dialogs(), 0);
    EXPECT_EQ(current_panel_id(), manager_2::logo_id);
    EXPECT_EQ(status_shown(), L"Загрузка: обновление загружено");
    ASSERT_TRUE(ftp->wait_for_line("disconnected"));
    EXPECT_FALSE(ftp->lines("command RETR pub/update.exe").empty()) << ftp->transcript();
}

struct failure_case {
    const char* what;
    int man;
    bool server;
    std::vector<std::string> ftp_options;
    bool updater_starts;
};

TEST(logo_update, EachFailureShowsOneDialogThenTheMenuOrTheEndByMan) {
    const std::string wrong_digest = "update.exe=00000000000000000000000000000000";
    const std::vector<failure_case> cases = {
        {"no server, man 1", 1, false, {}, true},
        {"no server, man 0", 0, false, {}, true},
        {"a digest that differs, man 1", 1, true, {"--digest", wrong_digest}, true},
        {"a digest that differs, man 0", 0, true, {"--digest", wrong_digest}, true},
        {"the updater cannot start, man 1", 1, true, {}, false},
        {"the updater cannot start, man 0", 0, true, {}, false},
    };
    for (const failure_case& c : cases) {
        SCOPED_TRACE(c.what);
        // Each case is a program run of its own: its folder, servers and window.
        zel::test::temp_folder root;
        std::unique_ptr<zel::test::test_peer> server;
        if (c.server) {
            server = serve_update(root.path(), random_bytes(70000, 1), c.ftp_options);
        } else {
            ::setenv("MORVIK_FTP_PORT", std::to_string(zel::test::unused_port()).c_str(), 1);
        }
        screen_harness scene;
        screen_options options;
        options.values["UPDATE"] = offer_json(L"99.0.0.0", "pub", c.man);
        scene.open(options);
        scene.processes.set_starts_succeed(c.updater_starts);
        panel_logo& logo = logo_of(*scene.manager);
        logo.update().set_pause_ms(0);
        ASSERT_TRUE(scene.pump_until([&] { return dialog_of(*scene.manager) != nullptr; }));
        ASSERT_EQ(dialog_of(*scene.manager)->text, question_text);
        ASSERT_TRUE(scene.tap_text(L"Да"));
        ASSERT_TRUE(scene.pump_until([&] { return !logo.update_thread_busy(); }));
        scene.run();

        EXPECT_EQ(scene.stack_ids(), (std::vector<int>{manager_2::dialog_id, 0})) << "one error dialog";
        const dialog_request* error = dialog_of(*scene.manager);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->kind, dialog_request::message);
        EXPECT_EQ(error->text, error_text);
        EXPECT_EQ(logo.status_text(), L"Загрузка: ошибка");
        EXPECT_FALSE(logo.update_running());
        EXPECT_TRUE(scene.processes.ends().empty());
        ASSERT_TRUE(scene.tap_text(L"Ok"));
        if (c.man == 0) {
            ASSERT_EQ(scene.processes.ends().size(), 1u);
            EXPECT_EQ(scene.processes.ends()[0].exit_code, 0);
        } else {
            EXPECT_TRUE(scene.processes.ends().empty());
            EXPECT_EQ(scene.stack_ids(), std::vector<int>{manager_2::master_id});
        }
        scene.close();
        ::unsetenv("MORVIK_FTP_PORT");
    }
}

struct progress_case {
    int64_t total;
    int64_t bytes;
    std::wstring text;
};

TEST_F(logo_screen, TheProgressLineShowsAPercentageOnlyOfAKnownTotal) {
    open_held();
    const std::vector<progress_case> cases = {
        {1024000, 0, L"Загружено: N% из 100%"},
        {1024000, 512000, L"Загружено: 50% из 100%"},
        {1024000, 1023999, L"Загружено: 99% из 100%"},
        {1024000, 1024000, L"Загружено: 100% из 100%"},
        {1024000, 2048000, L"Загружено: 100% из 100%"}, // a resumed part counted twice stays within 100
        {0, 512000, L"Загружено: N% из 100%"},          // before the total is known
        {-1, 512000, L"Загружено: N% из 100%"},         // a size that could not be read
        {int64_t{5} << 32, int64_t{5} << 31, L"Загружено: 50% из 100%"},
    };
    for (const progress_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bytes) + " of " + std::to_string(c.total));
        logo().on_state(4, c.total);
        EXPECT_EQ(status_shown(), L"Загрузка: получение размера");
        logo().on_progress(c.bytes);
        EXPECT_EQ(status_shown(), c.text);
    }
}

TEST_F(logo_screen, TheLogoMatchesItsGolden) {
    open_held();
    const std::vector<drawn_text> texts = screen_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, L"Версия: " + zel_api::program_version());
    EXPECT_EQ(texts[0].colour, 0xD3D3D3u);
    EXPECT_EQ(texts[1].text, L"Загрузка...");
    EXPECT_EQ(texts[1].colour, status_colour);
    EXPECT_EQ(golden("logo"), "");
}

} // namespace
} // namespace zel::form::test
