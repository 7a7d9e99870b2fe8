// A link that drops in the car, on the program's screens against the test dispatch server: the offer whose
// accept the link dropped (the order listed as the driver's after the reconnect, or a second accept refused),
// the close whose answer the link dropped (the order gone after the reconnect, or still listed), a drop during
// the ride, a close that stalls until the terminal gives up, and a storm of drops while the orders list is open.
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/command/received/order.h"
#include "form/order/panel_orders_list.h"
#include "form/order/panel_work_bill.h"
#include "form/order/panel_work_execute.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_param.h"
#include "foundation/app_paths.h"
#include "gps/taximeter/taximeter.h"
#include "tests/form/order/offer_scene.h"
#include "tests/form/order/ride_panel_scene.h"

namespace zel::form::test {
namespace {

using zel_api::command::order;

// --- the offer

// The offered order as the server lists it once it is the driver's, on the way.
const std::string taken_order = R"({"order":{"s-id":"O-1","l-type":4,"s":2,"af":{"t":"Ленина, 1"}}})";

class link_drop_offer_screen : public ::testing::Test, public offer_scene {
protected:
    void open_dropping(const std::string& applied, const std::string& after) {
        ASSERT_NO_FATAL_FAILURE(
            open_offer("link_drop_offer.script", offer_record{}, {{"APPLIED", applied}, {"AFTER", after}}));
        EXPECT_TRUE(tap_text(L"Взять заказ"));
        ASSERT_TRUE(pump_until([&] { return listener.results(L"login") == 2; })) << dispatch_server->transcript();
        run();
    }
};

// Whether the server took the order before the link dropped, and whether the terminal heard of it before the
// drop: once the order is listed as the driver's, the offer leaves as on the accept's success.
struct taken_case {
    const char* name;
    std::string applied;
};

void PrintTo(const taken_case& c, std::ostream* out) {
    *out << c.name;
}

class link_drop_taken_screen : public link_drop_offer_screen, public testing::WithParamInterface<taken_case> {};

TEST_P(link_drop_taken_screen, TheOfferLeavesOnceItsOrderIsListedAsTheDrivers) {
    ASSERT_NO_FATAL_FAILURE(open_dropping(GetParam().applied, taken_order));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() != 30; }));
    // The server's state may follow its login result in a later packet.
    ASSERT_TRUE(pump_until([&] { return ctl().get_current_order() != nullptr; })) << dispatch_server->transcript();
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    EXPECT_EQ(manager->lock_count(), 0);
    ASSERT_NE(ctl().get_current_order(), nullptr);
    EXPECT_EQ(ctl().get_current_order()->s_id, L"O-1");
    EXPECT_EQ(received_containing("order-offer-accept").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(link_drop, link_drop_taken_screen,
                         testing::Values(
                             // Its answer lost with the link: the reconnect's login lists the order.
                             taken_case{"ListedAtTheReconnect", ""},
                             // The order pushed into the driver's list just before the drop.
                             taken_case{"ListedBeforeTheDrop", taken_order}),
                         [](const testing::TestParamInfo<taken_case>& info) { return std::string(info.param.name); });

TEST_F(link_drop_offer_screen, AnOfferThatOutlivedTheLinkLeavesWhenItsSecondAcceptIsRefused) {
    ASSERT_NO_FATAL_FAILURE(open_dropping("", ""));
    // The server lists no order of the driver's: the offer stays, for the driver to take it again.
    EXPECT_EQ(current_panel_id(), 30);
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_TRUE(tap_text(L"Взять заказ"));
    ASSERT_TRUE(pump_until([&] { return listener.results(L"order-offer-accept") == 1; }));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() != 30; }));
    run();
    EXPECT_EQ(stack_ids(), std::vector<int>{2});
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(ctl().get_current_order(), nullptr);
    EXPECT_EQ(received_containing("order-offer-accept").size(), 2u);
}

// --- the ride and its close

const std::string removed = R"({"odel":{"l-type":4,"s-ids":["R-1"]}})";
// The session's parking area of type 2: a successful close leads to its parking list.
const std::string parked = R"(,"area-id":12)";
constexpr int parking_list = 10;

class link_drop_ride_screen : public ride_panel_screen {
protected:
    // Logs in on the script with the ride's order current (in the parking area unless SESSION says otherwise)
    // and shows the ride panel.
    void open_ride_on(const std::string& script, std::map<std::string, std::string> values) {
        own_script = script;
        close_answer = removed_and_closed;
        const std::string session = values.count("SESSION") ? values["SESSION"] : parked;
        values.erase("SESSION");
        more_values = std::move(values);
        ASSERT_NO_FATAL_FAILURE(open_ride(ride_order(), session));
    }

    // Pumps until the reconnect's login has been answered and its result handled.
    void reconnected() {
        ASSERT_TRUE(pump_until([&] { return listener.results(L"login") == 2; })) << dispatch_server->transcript();
        ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0; }));
        run();
    }

    // Pumps until the state the server sends after the reconnect's login is in (in the login's answer or after
    // it) and the close in hand has had its verdict: the server's list, or the settle once nothing lists an
    // order of the driver's.
    void close_decided(bool listed) {
        ASSERT_TRUE(pump_until([&] { return ctl().find_area(12) != nullptr; })) << dispatch_server->transcript();
        if (!listed) {
            run();
            EXPECT_TRUE(ctl().closing().in_hand()) << "decided before the settle";
            advance(std::chrono::milliseconds(controller_::order_close::list_settle_ms));
        }
        ASSERT_TRUE(pump_until([&] { return !ctl().closing().in_hand(); })) << dispatch_server->transcript();
        run();
    }

    void expect_files(size_t count) {
        const std::filesystem::path folder(app_file(L"\\order_close_inf"));
        EXPECT_EQ(trip_files(folder, ".tax_data").size(), count);
        EXPECT_EQ(trip_files(folder, ".order_track").size(), count);
    }
};

// The close whose answer the link lost: the reconnect's login tells what became of it.
struct lost_close_case {
    const char* name;
    std::string script;
    std::string applied; // pushed before the drop
    bool listed;         // the server still lists the order after the reconnect
};

void PrintTo(const lost_close_case& c, std::ostream* out) {
    *out << c.name;
}

class lost_close_screen : public link_drop_ride_screen, public testing::WithParamInterface<lost_close_case> {};

TEST_P(lost_close_screen, TheOrderGoneCountsAsClosedAndTheOrderListedStaysForAnotherTry) {
    const lost_close_case& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(open_ride_on(
        c.script, {{"DROP_AT", R"({"close-order")"}, {"APPLIED", c.applied}, {"AFTER", c.listed ? ride_order() : ""}}));
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    if (c.script == "link_stall_close.script") {
        // The server never answers: the request's 30 s run out on the stepped clock and the link is closed.
        advance(std::chrono::seconds(31));
    }
    ASSERT_NO_FATAL_FAILURE(reconnected());
    ASSERT_NO_FATAL_FAILURE(close_decided(c.listed));
    if (!c.listed) {
        // Taken by the server: the ride's files once, and the driver where a successful close leads.
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == parking_list; }));
        run();
        expect_files(1);
        EXPECT_EQ(received_containing(R"("close-order")").size(), 1u);
        EXPECT_EQ(ctl().get_current_order(), nullptr);
        return;
    }
    // Never taken: nothing written, the bill stays, and sending it again closes once.
    EXPECT_EQ(current_panel_id(), panel_work_bill::id);
    expect_files(0);
    EXPECT_TRUE(tap_text(L"Завершить заказ"));
    ASSERT_TRUE(pump_until([&] { return received_containing(R"("close-order")").size() == 2; }));
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() == parking_list; }));
    run();
    expect_files(1);
    const auto ids = stack_ids();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), panel_work_bill::id), 0);
}

INSTANTIATE_TEST_SUITE_P(
    link_drop, lost_close_screen,
    testing::Values(lost_close_case{"DroppedAfterTheClose", "link_drop_close.script", "", false},
                    lost_close_case{"RemovalPushedThenDropped", "link_drop_close.script", removed, false},
                    lost_close_case{"DroppedBeforeTheCloseWasTaken", "link_drop_close.script", "", true},
                    lost_close_case{"StalledAndTaken", "link_stall_close.script", "", false},
                    lost_close_case{"StalledAndNotTaken", "link_stall_close.script", "", true}),
    [](const testing::TestParamInfo<lost_close_case>& info) { return std::string(info.param.name); });

TEST_F(link_drop_ride_screen, TheRideGoesOnThroughADropAndClosesOnce) {
    // The link drops at the driver's choice of a parking area; the server lists the ride's order again.
    ASSERT_NO_FATAL_FAILURE(
        open_ride_on("link_drop_close.script",
                     {{"DROP_AT", R"({"set-parking")"}, {"APPLIED", ""}, {"AFTER", ride_order()}, {"SESSION", ""}}));
    gps::taximeter* meter = ctl().get_taximeter();
    ASSERT_NE(meter, nullptr);
    ASSERT_TRUE(meter->is_running());
    auto& ride = static_cast<panel_work_execute&>(*manager->panel_for(panel_work_execute::id));
    EXPECT_TRUE(tap_text(L"РАЙОНЫ"));
    ride.on_area_click(0);
    ASSERT_NO_FATAL_FAILURE(reconnected());
    // The server's state may follow its login result in a later packet.
    ASSERT_TRUE(pump_until([&] { return ctl().get_current_order() != nullptr; })) << dispatch_server->transcript();
    run();
    EXPECT_EQ(current_panel_id(), panel_work_execute::id);
    EXPECT_TRUE(meter->is_running());
    EXPECT_EQ(meter->order_id(), L"R-1");
    ASSERT_NO_FATAL_FAILURE(finish_and_close());
    // No parking area in the session: the first panel.
    ASSERT_TRUE(pump_until([&] { return manager->lock_count() == 0 && current_panel_id() == 2; }));
    run();
    expect_files(1);
    EXPECT_EQ(received_containing(R"("close-order")").size(), 1u);
}

// --- a storm of drops

TEST(link_storm, TenDropsWhileTheOrdersListIsOpenLeaveTheListAndTheNextOfferWorking) {
    offer_scene scene;
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/link_storm.script";
    offer_record offer;
    options.values = {{"OFFER", offer.json()}, {"ID", offer.id}};
    ASSERT_NO_FATAL_FAILURE(scene.open(options));
    ASSERT_TRUE(scene.reach_menu());
    ASSERT_NO_FATAL_FAILURE(scene.log_in());
    scene.manager->push_panel(panel_orders_list::id, make_number_param(1));
    ASSERT_TRUE(scene.pump_until([&] { return scene.current_panel_id() == panel_orders_list::id; }));
    scene.run();
    // The cue: the storm begins.
    scene.ctl().msg_read(1);
    ASSERT_TRUE(scene.pump_until([&] { return scene.current_panel_id() == 30; }, std::chrono::seconds(60)))
        << scene.dispatch_server->transcript();
    scene.run();
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{30, panel_orders_list::id, 2}));
    EXPECT_EQ(scene.manager->lock_count(), 0);
    EXPECT_NE(scene.ctl().find_order(1, L"C1"), nullptr);
    EXPECT_TRUE(scene.tap_text(L"Взять заказ"));
    EXPECT_TRUE(scene.wait_received(R"({"order-offer-accept":{"s-order-id":"O-1"}})"));
}

} // namespace
} // namespace zel::form::test
