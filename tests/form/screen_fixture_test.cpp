// The screen tests' groundwork on the program's own screens: the start on the logo, the login exchange and a
// real login against the test servers, the finger reaching a control, the record of drawn texts, the stepped
// clock reaching the manager's timers, and the record of process_control.
#include "tests/form/screen_fixture.h"

#include "form/controls/frame_text_button.h"
#include "form/shell/dialog_request.h"
#include "form/shell/main_window.h"
#include "form/shell/panel_dialog_gui.h"
#include "platform/power_supply.h"
#include "tests/support/dispatch_peer.h"

namespace zel::form::test {
namespace {

TEST_F(screen_fixture, TheProgramStartsOnTheLogoAndReachesTheMenuWhenTheLoginExchangeEnds) {
    open();
    EXPECT_EQ(current_panel_id(), manager_2::logo_id);
    EXPECT_EQ(stack_ids(), std::vector<int>{0});
    ASSERT_TRUE(reach_menu());
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    ASSERT_EQ(ctl().get_device_servers().size(), 1u);
    EXPECT_EQ(ctl().get_device_servers()[0]->get_server_addrs(),
              std::vector<std::wstring>{L"127.0.0.1:" + dispatch_server->port_text() + L":0"});
    ASSERT_TRUE(ctl().get_zero_params());
    EXPECT_EQ(ctl().get_zero_params()->sms_key, L"K1");
    EXPECT_FALSE(ctl().get_update_info());
    EXPECT_TRUE(login_server->wait_for_line("done")) << login_server->transcript();
}

TEST_F(screen_fixture, WithoutALoginServerTheMenuComesWithNoDispatchServer) {
    screen_options options;
    options.login_script.clear();
    options.dispatch_script.clear();
    open(options);
    ASSERT_TRUE(reach_menu());
    EXPECT_TRUE(ctl().get_device_servers().empty());
}

TEST_F(screen_fixture, TheLoginServerOffersAnUpdateWhenAsked) {
    screen_options options;
    options.values["UPDATE"] = update_record("3.5.0.1221", 0, "/pub");
    open(options);
    ASSERT_TRUE(pump_until([&] { return ctl().get_update_info() != nullptr; }));
    const auto offer = ctl().get_update_info();
    EXPECT_EQ(offer->version, L"3.5.0.1221");
    EXPECT_EQ(offer->srv_ftp, L"127.0.0.1");
    EXPECT_EQ(offer->ftp_path, L"/pub");
    EXPECT_EQ(offer->man, 0);
}

TEST_F(screen_fixture, ARealLoginBringsTheSessionOfTheLoginFixture) {
    open();
    log_in();
    ASSERT_TRUE(ctl().is_logged_in());
    const auto session = ctl().get_session_param();
    ASSERT_TRUE(session);
    ASSERT_TRUE(session->area_id);
    EXPECT_EQ(*session->area_id, 12);
    ASSERT_TRUE(ctl().get_session_fix_param());
    EXPECT_EQ(ctl().get_session_fix_param()->driver_fio, L"Иванов Иван Иванович");
    EXPECT_TRUE(ctl().get_tariff(L"T-15"));
    EXPECT_TRUE(ctl().get_cars());
    EXPECT_TRUE(ctl().get_currency());
    EXPECT_TRUE(ctl().find_area(13));
    // 07:05 at UTC+3 by the session's clock.
    const int64_t local = ctl().get_server_clock()->server_now() + ctl().get_server_clock()->server_seconds();
    EXPECT_EQ(local % 86400, 7 * 3600 + 5 * 60);
    // The manager handled the result: the preliminary-order check runs.
    EXPECT_NE(manager->preorder_timer(), -1);
    const auto logins = dispatch_server->lines("recv command");
    ASSERT_FALSE(logins.empty());
    EXPECT_NE(logins.front().find(R"("pin":"1234")"), std::string::npos) << logins.front();
    zel::test::expect_script_done(*dispatch_server);
}

TEST_F(screen_fixture, TheTrialServerLogsTheDriverInWithAWorkingSession) {
    screen_options options;
    options.login_script = "tools/dispatch_server/trial.script"; // login and dispatch server in one
    options.dispatch_script.clear();
    open(options);
    ASSERT_TRUE(reach_menu());
    // The call signs first, on a connection of their own, as the start screen asks for them.
    ctl().request_callsign_list(L"B", L"A", 1, 0);
    ASSERT_TRUE(pump_until([&] { return listener.results(L"get-callsign-list-for-device") > 0; }))
        << login_server->transcript();
    log_in();
    const auto session = ctl().get_session_param();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->callsign, L"П1");
    EXPECT_FALSE(session->dt); // the machine's clock stands
    ASSERT_TRUE(session->tzo);
    EXPECT_EQ(*session->tzo, 10800000);
    EXPECT_TRUE(ctl().get_session_fix_param());
    EXPECT_TRUE(ctl().get_tariff(L"T-15"));
    EXPECT_TRUE(ctl().get_cars());
    EXPECT_TRUE(login_server->wait_for_line("done")) << login_server->transcript();
    EXPECT_TRUE(login_server->lines("FAIL").empty()) << login_server->transcript();
}

TEST_F(screen_fixture, TheFingerReachesAControlAndTheTextRecordSeesWhatWasDrawn) {
    open();
    ASSERT_TRUE(reach_menu());
    int answer = -1;
    manager->push_panel(manager_2::dialog_id, std::make_shared<dialog_request>(dialog_request::question, L"Проверка",
                                                                               [&](int a) { answer = a; }));
    run();
    ASSERT_EQ(current_panel_id(), manager_2::dialog_id);
    const auto texts = screen_texts();
    auto drawn = [&](const std::wstring& text) {
        for (const drawn_text& t : texts) {
            if (t.text == text) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(drawn(L"Внимание"));
    EXPECT_TRUE(drawn(L"Проверка"));
    EXPECT_TRUE(drawn(L"Да"));
    // Each text once in one paint of the whole screen, with the rectangle and colour it was drawn with.
    auto* dialog = static_cast<panel_dialog_gui*>(manager->current_panel());
    ASSERT_NE(dialog->yes_button(), nullptr);
    ASSERT_EQ(find_texts(L"Да").size(), 1u);
    EXPECT_EQ(find_texts(L"Внимание").front().colour, 0xFFFFFFu);

    tap(*dialog->no_button());
    EXPECT_EQ(answer, dialog_request::answer_no);
    EXPECT_TRUE(tap_text(L"Да"));
    EXPECT_EQ(answer, dialog_request::answer_yes);
}

TEST_F(screen_fixture, TheSteppedClockFiresTheManagersTimers) {
    open();
    ASSERT_TRUE(reach_menu());
    int fired = 0;
    manager->set_timer(10, [&] { ++fired; });
    advance(std::chrono::milliseconds(9999));
    EXPECT_EQ(fired, 0);
    advance(std::chrono::milliseconds(1));
    EXPECT_EQ(fired, 1);
    advance(std::chrono::seconds(20));
    EXPECT_GE(fired, 2);
}

TEST_F(screen_fixture, ClosingTheWindowIsRecordedWithTheTrackFlushed) {
    open();
    ASSERT_TRUE(reach_menu());
    gps::gps_fix fix;
    fix.valid = 1;
    fix.fix = 1;
    fix.latitude = 55.75;
    fix.longitude = 37.62;
    fix.satellites = 8;
    fix.pdop = 1.0f;
    fix.hdop = 1.0f;
    refresh_gps(fix);
    end_program();
    ASSERT_EQ(processes.ends().size(), 1u);
    EXPECT_EQ(processes.ends()[0].exit_code, 0);
    EXPECT_EQ(processes.ends()[0].track_files, 1);

    EXPECT_TRUE(process_control::current().start_program(L"/usr/bin/navigator", {L"a"}));
    processes.set_starts_succeed(false);
    EXPECT_FALSE(process_control::current().start_program(L"updater", {}));
    ASSERT_EQ(processes.starts().size(), 2u);
    EXPECT_EQ(processes.starts()[0].program, L"/usr/bin/navigator");
    EXPECT_EQ(processes.starts()[0].arguments, std::vector<std::wstring>{L"a"});
}

TEST_F(screen_fixture, ThePowerStatusOfTheScreensComesFromTheTestsFolder) {
    open();
    // The empty folder: mains, no battery.
    auto status = power_supply().read();
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->mains_online);
    EXPECT_EQ(status->battery_percent, 255);
    power_root.write("AC/type", "Mains\n");
    power_root.write("AC/online", "0\n");
    power_root.write("BAT0/type", "Battery\n");
    power_root.write("BAT0/capacity", "29\n");
    status = power_supply().read();
    ASSERT_TRUE(status);
    EXPECT_FALSE(status->mains_online);
    EXPECT_EQ(status->battery_percent, 29);
}

TEST_F(screen_fixture, TheLandscapeScreenGivesTheManagerItsSize) {
    screen_options options;
    options.screen = {800, 480, 192};
    open(options);
    EXPECT_EQ(manager->get_width(), 800);
    EXPECT_EQ(manager->get_height(), 480);
    EXPECT_FLOAT_EQ(manager->get_scale(), 1.0f);
    ASSERT_TRUE(reach_menu());
}

} // namespace
} // namespace zel::form::test
