// The driver status (8) and exit (17) screens against the test dispatch server: the rows over the session's
// "driver-status", the statuses the rows send and where their answers lead, a lost link while waiting, the car
// panel for a driver off the shift with two cars; the ways out, the end of the program after the track's flush,
// a refused end of work that must not close the program later, and minimising; their pictures.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/command/received/session_param.h"
#include "api/command_names.h"
#include "form/account/panel_driver_status_2.h"
#include "form/account/panel_exit_2.h"
#include "form/order/offer_take_button.h"
#include "form/order/panel_order_offer.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/account/shift_scene.h"

namespace zel::form::test {
namespace {

using status_screen = shift_scene;

struct row_state {
    std::wstring caption;
    bool enabled;
    bool operator==(const row_state& other) const {
        return caption == other.caption && enabled == other.enabled;
    }
};

std::ostream& operator<<(std::ostream& out, const row_state& row) {
    return out << wide_to_utf8(row.caption) << (row.enabled ? " on" : " off");
}

std::vector<row_state> rows_of(const panel_menu_list& panel) {
    std::vector<row_state> rows;
    for (const auto& row : panel.rows()) {
        rows.push_back({row.caption, row.enabled});
    }
    return rows;
}

panel_menu_list& menu_panel(shift_scene& scene, int id) {
    return static_cast<panel_menu_list&>(*scene.manager->panel_for(id));
}

bool status_is(shift_scene& scene, int32_t status) {
    const auto session = scene.ctl().get_session_param();
    return session && session->driver_status && *session->driver_status == status;
}

TEST_F(status_screen, TheRowsFollowTheStatusAndSendWhatTheyStandFor) {
    ASSERT_NO_FATAL_FAILURE(open_on("driver_status.script"));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    panel_menu_list& panel = menu_panel(*this, 8);
    const std::vector<row_state> working = {
        {L"Выбрать стоянку", true}, {L"Таксометр", true}, {L"На обеде", true}, {L"На ремонте", true}};
    EXPECT_EQ(rows_of(panel), working);

    // Lunch granted without an order: back to the first panel, unlocked.
    ASSERT_TRUE(tap_text(L"На обеде"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":2}})")) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return stack_ids() == std::vector<int>{2} && manager->lock_count() == 0; }));

    // At lunch only the parking row and "Закончить обед" react; a tap on a shaded row sends nothing.
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    EXPECT_EQ(
        rows_of(panel),
        (std::vector<row_state>{
            {L"Выбрать стоянку", true}, {L"Таксометр", false}, {L"Закончить обед", true}, {L"На ремонте", false}}));
    const size_t sent = received().size();
    ASSERT_TRUE(tap_text(L"Таксометр"));
    ASSERT_TRUE(tap_text(L"На ремонте"));
    EXPECT_EQ(received().size(), sent);
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(golden("driver_status_lunch"), "");
    // Refused: the screen stays, unlocked.
    ASSERT_TRUE(tap_text(L"Закончить обед"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":0}})")) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    EXPECT_EQ(stack_ids(), (std::vector<int>{8, 2}));

    // Under repair with an order current: the rows change while shown, and the granted end leads to the ride.
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return rows_of(panel)[3].caption == L"Закончить ремонт"; }));
    EXPECT_EQ(
        rows_of(panel),
        (std::vector<row_state>{
            {L"Выбрать стоянку", true}, {L"Таксометр", false}, {L"На обеде", false}, {L"Закончить ремонт", true}}));
    ASSERT_TRUE(tap_text(L"Закончить ремонт"));
    ASSERT_TRUE(pump_until([&] {
        return stack_ids() == std::vector<int>{24, 2} && manager->lock_count() == 0;
    })) << dispatch_server->transcript();

    // Off the shift with two free cars: "Таксометр" opens the car panel to change the car, sending nothing.
    manager->pop_to_first();
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return status_is(*this, -2); }));
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    EXPECT_EQ(rows_of(panel),
              (std::vector<row_state>{
                  {L"Выбрать стоянку", true}, {L"Таксометр", true}, {L"На обеде", false}, {L"На ремонте", false}}));
    const size_t before_car = received().size();
    ASSERT_TRUE(tap_text(L"Таксометр"));
    EXPECT_EQ(stack_ids(), (std::vector<int>{20, 8, 2}));
    EXPECT_EQ(received().size(), before_car);
    manager->pop_panel();
    run();

    // The link is lost while the repair waits for its answer: the GUI is unlocked.
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return status_is(*this, 0) && rows_of(panel)[3].enabled; }));
    ASSERT_TRUE(tap_text(L"На ремонте"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":3}})")) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return listener.count(L"disconnect_local") > 0 && manager->lock_count() == 0; }));
    EXPECT_EQ(current_panel_id(), 8);
}

// The answers to "set-driver-status" in two packets, either way round: the taximeter status leads to the ride of
// its free-ride order, and lunch, whose answer removes that order, to the first panel.
class status_split : public shift_scene, public testing::WithParamInterface<const char*> {};

TEST_P(status_split, WhereAGrantedStatusLeadsDoesNotDependOnHowTheAnswerIsSplit) {
    ASSERT_NO_FATAL_FAILURE(
        open_on("driver_status_split.script", platform::screen_size{480, 800, 192}, {{"SPLIT", GetParam()}}));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    ASSERT_TRUE(tap_text(L"Таксометр"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":4}})")) << dispatch_server->transcript();
    EXPECT_TRUE(pump_until([&] {
        return stack_ids() == std::vector<int>{24, 2} && manager->lock_count() == 0 && ctl().get_current_order();
    })) << testing::PrintToString(stack_ids());
    manager->pop_to_first();
    run();
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    ASSERT_TRUE(tap_text(L"На обеде"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":2}})")) << dispatch_server->transcript();
    EXPECT_TRUE(pump_until([&] {
        return stack_ids() == std::vector<int>{2} && manager->lock_count() == 0 && !ctl().get_current_order();
    })) << testing::PrintToString(stack_ids());
}

INSTANTIATE_TEST_SUITE_P(answer_split, status_split, testing::Values("records-first", "result-first"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "records-first" ? "RecordsFirst" : "ResultFirst";
                         });

// A server may grant a status and report another in the session: with no current order the granted status
// returns to the first panel whatever the session shows, whether the session comes with the result, before it
// or after it.
class status_other : public shift_scene, public testing::WithParamInterface<const char*> {};

constexpr char other_session[] = R"({"session-param":{"driver-status":1}})";

TEST_P(status_other, AGrantedStatusLeavesWhateverStatusTheSessionShows) {
    ASSERT_NO_FATAL_FAILURE(open_on("driver_status_other.script", platform::screen_size{480, 800, 192},
                                    {{"SPLIT", GetParam()}, {"SESSION", other_session}}));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_TRUE(pump_until([&] { return status_is(*this, 2); }));
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    ASSERT_TRUE(tap_text(L"Закончить обед"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":0}})")) << dispatch_server->transcript();
    EXPECT_TRUE(pump_until([&] {
        return stack_ids() == std::vector<int>{2} && manager->lock_count() == 0 && status_is(*this, 1);
    })) << testing::PrintToString(stack_ids());
}

INSTANTIATE_TEST_SUITE_P(answer_split, status_other, testing::Values("off", "records-first", "result-first"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             const std::string mode = info.param;
                             return mode == "off"             ? "OnePacket"
                                    : mode == "records-first" ? "RecordsFirst"
                                                              : "ResultFirst";
                         });

// A granted status whose session never comes waits settle_seconds for it, no longer, then returns to the first
// panel.
TEST_F(status_screen, AGrantedStatusWithoutItsSessionLeavesAfterTheSettle) {
    ASSERT_NO_FATAL_FAILURE(open_on("driver_status_other.script", platform::screen_size{480, 800, 192},
                                    {{"SPLIT", "off"}, {"SESSION", ""}}));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_TRUE(pump_until([&] { return status_is(*this, 2); }));
    ASSERT_NO_FATAL_FAILURE(show_panel(8));
    ASSERT_TRUE(tap_text(L"Закончить обед"));
    ASSERT_TRUE(wait_received(R"({"set-driver-status":{"id":0}})")) << dispatch_server->transcript();
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
    advance(std::chrono::seconds(panel_driver_status_2::settle_seconds - 1));
    EXPECT_EQ(stack_ids(), (std::vector<int>{8, 2}));
    advance(std::chrono::seconds(1));
    EXPECT_TRUE(pump_until([&] { return stack_ids() == std::vector<int>{2}; })) << testing::PrintToString(stack_ids());
}

TEST_F(status_screen, ExitRowsFollowLoginAndShiftAndTheWaysOut) {
    ASSERT_NO_FATAL_FAILURE(open_on("exit.script"));
    ASSERT_TRUE(reach_menu());
    ASSERT_NO_FATAL_FAILURE(show_panel(17));
    panel_menu_list& panel = menu_panel(*this, 17);
    const std::vector<row_state> off = {
        {L"Закрыть программу", true}, {L"Завершить работу", false}, {L"Завершить смену", false}, {L"Свернуть", true}};
    EXPECT_EQ(rows_of(panel), off) << "not logged in";
    manager->pop_to_first();
    run();
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(17));
    EXPECT_EQ(rows_of(panel)[1], (row_state{L"Завершить работу", true}));
    EXPECT_EQ(rows_of(panel)[2], (row_state{L"Завершить смену", true}));
    EXPECT_EQ(golden("exit"), "");

    // "Закрыть программу" ends at once after the track's flush, sending nothing (the recorder lets the test go
    // on).
    record_track_point();
    const size_t sent = received().size();
    ASSERT_TRUE(tap_text(L"Закрыть программу"));
    ASSERT_EQ(processes.ends().size(), 1u);
    EXPECT_EQ(processes.ends()[0].exit_code, 0);
    EXPECT_EQ(processes.ends()[0].track_files, 1);
    EXPECT_EQ(received().size(), sent);

    // "Завершить работу" refused: running, unlocked; a later granted "Завершить смену" does not end the program.
    ASSERT_TRUE(tap_text(L"Завершить работу"));
    ASSERT_TRUE(pump_until([&] { return received().size() == sent + 1 && manager->lock_count() == 0; }))
        << dispatch_server->transcript();
    EXPECT_FALSE(static_cast<panel_exit_2&>(panel).exit_pending());
    ASSERT_TRUE(tap_text(L"Завершить смену"));
    ASSERT_TRUE(pump_until([&] { return status_is(*this, -2) && manager->lock_count() == 0; }))
        << dispatch_server->transcript();
    EXPECT_EQ(processes.ends().size(), 1u);
    EXPECT_EQ(rows_of(panel), off) << "off the shift";

    // "Свернуть" minimises the window and leaves the stack as it was.
    const int minimised = platform::headless::minimised();
    ASSERT_TRUE(tap_text(L"Свернуть"));
    EXPECT_EQ(platform::headless::minimised(), minimised + 1);
    EXPECT_EQ(stack_ids(), (std::vector<int>{17, 2}));
}

TEST_F(status_screen, AGrantedEndOfWorkEndsTheProgramAfterTheTracksFlush) {
    ASSERT_NO_FATAL_FAILURE(open_on("exit_done.script"));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(17));
    record_track_point();
    ASSERT_TRUE(tap_text(L"Завершить работу"));
    ASSERT_TRUE(pump_until([&] { return !processes.ends().empty(); })) << dispatch_server->transcript();
    EXPECT_EQ(processes.ends()[0].exit_code, 0);
    EXPECT_EQ(processes.ends()[0].track_files, 1);
    EXPECT_EQ(received().back().rfind(R"({"shift-end")", 0), 0u);
}

// An end of work whose request lost its screen: an offer came first and took the answer, or the link dropped
// under it. The request is forgotten with it: a later "Завершить смену", granted, only ends the shift.
void end_of_work_lost_then_end_of_shift(shift_scene& scene, const std::string& script, bool offer) {
    ASSERT_NO_FATAL_FAILURE(scene.open_on(script));
    ASSERT_NO_FATAL_FAILURE(scene.log_in());
    ASSERT_NO_FATAL_FAILURE(scene.show_panel(17));
    auto& exit = static_cast<panel_exit_2&>(menu_panel(scene, 17));
    ASSERT_TRUE(scene.tap_text(L"Завершить работу"));
    if (offer) {
        ASSERT_TRUE(scene.pump_until([&] { return scene.current_panel_id() == 30; }))
            << scene.dispatch_server->transcript();
        EXPECT_FALSE(exit.exit_pending());
        scene.ctl().set_option_1022(true); // the server's cue for the end's answer
        ASSERT_TRUE(scene.pump_until([&] { return scene.manager->lock_count() == 0; }))
            << scene.dispatch_server->transcript();
        auto& offer_panel = static_cast<panel_order_offer&>(*scene.manager->panel_for(30));
        scene.tap(*offer_panel.reject_button());
        ASSERT_TRUE(scene.pump_until([&] {
            return scene.stack_ids() == std::vector<int>{2} && scene.manager->lock_count() == 0;
        })) << scene.dispatch_server->transcript();
        ASSERT_NO_FATAL_FAILURE(scene.show_panel(17));
    } else {
        ASSERT_TRUE(scene.pump_until([&] { return scene.listener.count(L"disconnect_local") > 0; }))
            << scene.dispatch_server->transcript();
        EXPECT_FALSE(exit.exit_pending());
        ASSERT_TRUE(scene.pump_until([&] {
            return scene.listener.results(zel_api::login_name()) == 2 && scene.manager->lock_count() == 0 &&
                   rows_of(exit)[2].enabled;
        })) << scene.dispatch_server->transcript();
        EXPECT_EQ(scene.current_panel_id(), 17);
    }
    ASSERT_TRUE(scene.tap_text(L"Завершить смену"));
    ASSERT_TRUE(scene.pump_until([&] { return status_is(scene, -2) && scene.manager->lock_count() == 0; }))
        << scene.dispatch_server->transcript();
    EXPECT_TRUE(scene.processes.ends().empty());
    zel::test::expect_script_done(*scene.dispatch_server);
    std::vector<std::string> sent = scene.received();
    sent.erase(
        std::remove_if(sent.begin(), sent.end(), [](const std::string& p) { return p.rfind(R"({"login":)", 0) == 0; }),
        sent.end());
    const std::vector<std::string> expected =
        offer ? std::vector<std::string>{R"({"shift-end":{}})", R"({"set-option":{"key":1022,"value":"1"}})",
                                         R"({"order-offer-reject":{"s-order-id":"O-1"}})", R"({"shift-end":{}})"}
              : std::vector<std::string>{R"({"shift-end":{}})", R"({"shift-end":{}})"};
    EXPECT_EQ(sent, expected);
}

TEST_F(status_screen, AnEndOfWorkWhoseAnswerAnOfferTookEndsNothingLater) {
    end_of_work_lost_then_end_of_shift(*this, "exit_offer.script", true);
}

TEST_F(status_screen, AnEndOfWorkCutOffByALostLinkEndsNothingLater) {
    end_of_work_lost_then_end_of_shift(*this, "exit_link_lost.script", false);
}

} // namespace
} // namespace zel::form::test
