// The controller against the test dispatch server on loopback: logging in, the driver's requests, pushed
// packets and bursts of them, positions, a request without an answer, a dropped and a silent link, and logging
// in again.
#include "api/command/sent/close_order.h"
#include "api/command_names.h"
#include "foundation/text_utils.h"
#include "tests/controller/controller_fixture.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>

namespace zel::controller_::test {
namespace {

using zel_api::update_mask;
namespace fs = std::filesystem;

struct controller_link : controller_fixture {
    std::unique_ptr<test_peer> server;

    // A controller whose chosen dispatch server plays the script.
    void serve(const std::string& fixture) {
        server = dispatch_server(fixture);
        start();
        add_dispatch_server(server->port());
    }
};

TEST_F(controller_link, pin_login_then_pushed_order_and_offer_reach_the_listener) {
    serve("login_and_push.script");
    ctl->connect_org(0, L"0000", 77);
    const update_mask refused = listener.wait_for_result(zel_api::login_name());
    ASSERT_TRUE(refused.payload());
    EXPECT_FALSE(refused.payload()->ok);
    EXPECT_FALSE(ctl->is_logged_in());
    EXPECT_TRUE(ctl->is_connected());

    // A second login on the open link: the request goes out without connecting again.
    ctl->connect_org(0, L"1234", 77);
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 2).payload());
    EXPECT_TRUE(ctl->is_logged_in());

    const update_mask order = listener.wait_for(zel_api::order_name());
    EXPECT_TRUE(order.test(zel_api::order_name()));
    EXPECT_FALSE(order.test(zel_api::order_offer_name()));
    ASSERT_EQ(ctl->get_orders_1().size(), 1u);
    EXPECT_EQ(ctl->find_order(1, L"501")->s_id, L"501");
    const update_mask offer = listener.wait_for(zel_api::order_offer_name());
    EXPECT_FALSE(offer.test(zel_api::order_name()));
    ASSERT_TRUE(ctl->get_order_offer());
    EXPECT_EQ(ctl->get_order_offer()->s_order_id, L"502");
    expect_script_done(*server);
}

// A burst of pushed packets (twenty orders in one write, an offer behind them) is taken packet by packet, each
// its own mask, in the order it came, without the listener's rest between them: the rest is for an empty queue.
TEST_F(controller_link, a_burst_of_pushed_packets_is_taken_in_order_without_resting_between_packets) {
    serve("burst_then_offer.script");
    log_in();
    const size_t masks_before = listener.masks().size();
    const uint64_t rests_before = ctl->listener_rests();
    ctl->msg_read(1);
    ASSERT_TRUE(listener.wait_for(zel_api::order_offer_name()).test(zel_api::order_offer_name()))
        << server->transcript();
    // At most the rest under way when the burst came, and one while the request went out; one a packet before.
    EXPECT_LE(ctl->listener_rests() - rests_before, 3u);

    std::vector<std::string> pushed;
    const auto masks = listener.masks();
    for (size_t n = masks_before; n < masks.size(); ++n) {
        const update_mask& mask = masks[n];
        if (mask.test(zel_api::order_name()) || mask.test(zel_api::order_offer_name())) {
            pushed.push_back(mask.test(zel_api::order_offer_name()) ? "offer" : "order");
            // One packet, one record: never two merged into one mask.
            EXPECT_NE(mask.test(zel_api::order_name()), mask.test(zel_api::order_offer_name()));
        }
    }
    std::vector<std::string> expected(20, "order");
    expected.push_back("offer");
    EXPECT_EQ(pushed, expected);

    // The store took them in the order they came.
    std::vector<std::wstring> ids;
    for (const auto& o : ctl->get_orders_1()) {
        ids.push_back(o->s_id);
    }
    std::vector<std::wstring> sent;
    for (int n = 1; n <= 20; ++n) {
        sent.push_back(L"B" + std::to_wstring(n));
    }
    EXPECT_EQ(ids, sent);
    ASSERT_TRUE(ctl->get_order_offer());
    EXPECT_EQ(ctl->get_order_offer()->s_order_id, L"699");
    expect_script_done(*server);
}

// Every request operation of the screens sends its command; the answer's "cmd-result" reaches the listener.
TEST_F(controller_link, every_request_sends_its_command_and_its_result_comes_back) {
    serve("requests.script");
    log_in();
    auto& c = *ctl;
    const std::vector<std::pair<std::wstring, std::function<void()>>> requests = {
        {L"set-parking", [&] { c.set_parking(5); }},
        {L"set-driver-status", [&] { c.set_driver_status(2); }},
        {L"buy-shift", [&] { c.buy_shift(12); }},
        {L"shift-end", [&] { c.shift_end(); }},
        {L"shift-begin", [&] { c.shift_begin(5, 6); }},
        {L"set-work-wheel", [&] { c.set_work_wheel(6); }},
        {L"set-driver", [&] { c.set_driver(L"501"); }},
        {L"driver-arrive", [&] { c.driver_arrive(L"501"); }},
        {L"execute-order", [&] { c.execute_order(L"501"); }},
        {L"commit-driver", [&] { c.commit_driver(L"501"); }},
        {L"msg-read", [&] { c.msg_read(33); }},
        {L"set-option", [&] { c.set_option_1022(true); }},
        {L"set-option", [&] { c.set_option_1022(false); }},
        {L"order-offer-accept", [&] { c.order_offer_accept(L"502"); }},
        {L"order-offer-reject", [&] { c.order_offer_reject(L"502"); }},
        {L"close-order", [&] { c.send(std::make_unique<zel_api::command::close_order>(L"1", 100)); }},
    };
    // The close-order result stops a taximeter whose order id is "1", as designed.
    c.get_taximeter()->start(L"1");
    std::map<std::wstring, size_t> sent;
    for (const auto& [name, request] : requests) {
        request();
        const size_t count = ++sent[name];
        // Each "cmd-result" of the script names the command it answers.
        bool arrived = false;
        for (int n = 0; n < 2000 && !(arrived = listener.results(name) == count); ++n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(arrived) << "no result for " << wide_to_utf8(name) << "\n" << server->transcript();
    }
    EXPECT_FALSE(c.get_taximeter()->is_running());
    expect_script_done(*server);
    EXPECT_EQ(listener.count(zel_api::disconnect_local_name()), 0u);
}

// A successful "execute-order" names no order: it starts the taximeter for the order its request named, and only
// when that order is the current one, wherever the result comes (here the last one after its records, on the
// listener thread).
TEST_F(controller_link, execute_order_result_starts_the_ride_of_the_order_it_named_only_when_current) {
    serve("execute_order.script");
    log_in();
    ASSERT_EQ(ctl->get_current_order()->s_id, L"B");
    const struct {
        const wchar_t* order;
        bool running;
    } requests[] = {{L"A", false}, {L"B", false}, {L"C", false}, {L"B", true}};
    size_t results = 0;
    for (const auto& r : requests) {
        SCOPED_TRACE(wide_to_utf8(r.order));
        ctl->execute_order(r.order);
        // The login's result came first.
        const update_mask result = listener.wait_for(zel_api::cmd_result_name(), 2 + results++);
        ASSERT_TRUE(result.payload()) << server->transcript();
        ASSERT_EQ(result.payload()->cmd_name, zel_api::execute_order_name());
        EXPECT_EQ(ctl->get_taximeter()->is_running(), r.running);
    }
    EXPECT_EQ(ctl->get_taximeter()->order_id(), L"B");
    expect_script_done(*server);
}

TEST_F(controller_link, dropped_link_logs_in_again_with_the_stored_server_pin_and_driver_id) {
    serve("drop_and_login_again.script");
    log_in();
    listener.wait_for(zel_api::order_name());
    ASSERT_EQ(ctl->get_orders_1().size(), 1u);
    // Read before the server may close: the read request is what it waits for.
    ctl->msg_read(1);
    // The server closes the link: "disconnect_local", then a fresh login on the remembered address.
    EXPECT_TRUE(listener.wait_for(zel_api::disconnect_local_name()).test(zel_api::disconnect_local_name()));
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 3).payload());
    EXPECT_TRUE(ctl->is_logged_in());
    EXPECT_TRUE(ctl->is_connected());
    // A new connection starts from an empty order list.
    EXPECT_TRUE(ctl->get_orders_1().empty());
    expect_script_done(*server);
}

// The listener looks at the link while a login connects (the server's accept queue is full for a while): the
// connect is left alone, so the driver ends up on one new link, logged in once, with no "disconnect_local".
TEST_F(controller_link, listener_leaves_a_login_that_is_connecting_alone) {
    serve("relogin_during_slow_connect.script");
    log_in();
    ASSERT_TRUE(server->wait_for_line("queue held")) << server->transcript();
    ctl->connect_org(0, L"1234", 77);
    ASSERT_TRUE(server->wait_for_line("queue freed")) << server->transcript();
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 2).payload()) << server->transcript();
    EXPECT_TRUE(ctl->is_logged_in());
    EXPECT_TRUE(ctl->is_connected());
    wait_listener_turns();
    expect_script_done(*server);
    EXPECT_TRUE(ctl->is_connected());
    EXPECT_EQ(listener.count(zel_api::disconnect_local_name()), 0u);
    EXPECT_EQ(server->lines("connected").size(), 2u) << server->transcript();
    EXPECT_EQ(server->lines("recv command").size(), 2u) << server->transcript();
}

// The server drops the link and the driver logs in again at once, racing the listener's own reconnect. However
// the two meet, one link stays open, logged in, and nothing tears it down afterwards.
TEST_F(controller_link, relogin_racing_the_listeners_reconnect_ends_on_one_link) {
    serve("drop_then_serve_logins.script");
    log_in();
    ASSERT_TRUE(server->wait_for_line("closed")) << server->transcript();
    ctl->connect_org(0, L"1234", 77);
    listener.wait_for(zel_api::cmd_result_name(), 2);
    for (int i = 0; i < 2000 && !(ctl->is_connected() && ctl->is_logged_in()); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ctl->is_connected() && ctl->is_logged_in()) << server->transcript();
    wait_listener_turns();
    const size_t connections = server->lines("connected").size();
    wait_listener_turns();
    EXPECT_TRUE(ctl->is_connected());
    EXPECT_TRUE(ctl->is_logged_in());
    EXPECT_EQ(server->lines("connected").size(), connections) << "the link was torn down\n" << server->transcript();
    EXPECT_EQ(server->lines("connected").size(), server->lines("closed").size() + 1) << server->transcript();
}

// Logging out while a login waits for the request lock: the login is not sent, and nothing logs the driver back.
TEST_F(controller_link, logout_wins_over_a_login_that_has_not_gone_out) {
    zel::test::log_capture log;
    serve("logout_before_login.script");
    ctl->connect_org(0, L"0000", 77);
    ASSERT_TRUE(listener.wait_for_result(zel_api::login_name()).payload());
    ctl->shift_end();
    ASSERT_TRUE(server->wait_for_line("recv command")) << server->transcript();
    for (int i = 0; i < 2000 && server->lines("recv command").size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ctl->connect_org(0, L"1234", 77); // waits behind the unanswered request
    ctl->disconnect();
    const std::string dropped = "the driver logged out, the login is not sent";
    for (int i = 0; i < 3000 && log.text().find(dropped) == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_NE(log.text().find(dropped), std::string::npos) << log.text();
    EXPECT_FALSE(ctl->is_logged_in());
    EXPECT_FALSE(ctl->is_connected());
    expect_script_done(*server);
    EXPECT_EQ(server->lines("connected").size(), 1u) << server->transcript();
}

TEST_F(controller_link, silence_of_31_seconds_on_the_tick_closes_the_link) {
    serve("silent_after_login.script");
    log_in();
    clock.advance_ms(30999);
    wait_listener_turns();
    EXPECT_TRUE(ctl->is_connected());
    EXPECT_EQ(listener.count(zel_api::disconnect_local_name()), 0u);

    clock.advance_ms(1);
    listener.wait_for(zel_api::disconnect_local_name());
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 2).payload()) << server->transcript();
    EXPECT_TRUE(ctl->is_logged_in());
    expect_script_done(*server);
}

TEST_F(controller_link, request_without_answer_times_out_and_the_link_is_rebuilt) {
    serve("unanswered_request.script");
    log_in();
    ctl->shift_end();
    // The server's acknowledgement reached the link (it acknowledges it back) and the waiting request took
    // it: the request's 30 seconds are counted from before this point.
    ASSERT_TRUE(server->wait_for_line("recv ack id=2")) << server->transcript();
    for (int i = 0; i < 2000 && ctl->dispatch_link().queued() > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(ctl->dispatch_link().queued(), 0u);
    // Past the 30 seconds of the answer, not yet the 31 of the listener's silence.
    clock.advance_ms(30001);
    listener.wait_for(zel_api::disconnect_local_name());
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 2).payload()) << server->transcript();
    EXPECT_EQ(listener.results(zel_api::shift_end_name()), 0u);
    expect_script_done(*server);
}

TEST_F(controller_link, positions_are_reported_when_far_or_old_enough) {
    serve("positions.script");
    log_in();
    gps::location fix;
    fix.accuracy = 5.0f;
    fix.latitude = 55.7;
    fix.longitude = 37.6;
    fix.altitude = 150.7;
    ctl->on_gps_position(fix); // the first good fix is kept, not sent
    fix.latitude = 55.7027;    // 300 m north
    fix.speed = 42.9f;
    fix.course = 90;
    ctl->on_gps_position(fix);
    ASSERT_TRUE(listener.wait_for_result(zel_api::gps_position_name()).payload()) << server->transcript();

    fix.speed = 0.0f;
    fix.course = 0;
    fix.accuracy = 10.1f; // too coarse, however far
    fix.latitude = 55.72;
    ctl->on_gps_position(fix);
    fix.accuracy = 10.0f; // good, back at the last report 30 s later: nothing to report
    fix.latitude = 55.7027;
    fix.altitude = 151.0;
    clock.set_wall_ms(clock.wall_ms() + 30000);
    ctl->on_gps_position(fix);
    fix.altitude = 152.0;
    clock.set_wall_ms(clock.wall_ms() + 1000); // 31 s after the last report
    ctl->on_gps_position(fix);
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 3).payload()) << server->transcript();
    expect_script_done(*server);
    EXPECT_EQ(server->lines("recv command").size(), 3u) << server->transcript();
}

TEST_F(controller_link, positions_come_from_the_gps_service) {
    serve("gps_positions.script");
    log_in();
    gps::gps_fix reading;
    reading.valid = 1;
    reading.pdop = 5.0f;
    reading.latitude = 55.7;
    reading.longitude = 37.6;
    fix_source->set(reading);
    gps_service.refresh_once(); // kept
    reading.latitude = 55.7027;
    fix_source->set(reading);
    gps_service.refresh_once(); // 300 m: reported
    ASSERT_TRUE(listener.wait_for_result(zel_api::gps_position_name()).payload()) << server->transcript();
    expect_script_done(*server);
}

// The recorder gets every position, flagged 2 while the driver has a current order; the exit paths write
// what it holds.
TEST_F(controller_fixture, positions_reach_the_track_recorder) {
    start();
    ctl->store().process_packet(L"{\"order\":{\"s-id\":\"8\",\"l-type\":4,\"s\":2}}");
    gps::location fix;
    fix.accuracy = 5.0f;
    fix.latitude = 55.7;
    fix.longitude = 37.6;
    ctl->on_gps_position(fix);
    ctl->flush_track();
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder.path() / "track")) {
        if (entry.path().extension() == ".trk") {
            files.push_back(entry.path());
        }
    }
    ASSERT_EQ(files.size(), 1u);
    std::ifstream in(files[0], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 10u + 30u); // the header and one point
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[10 + 29], 2); // the point's flag
}

// A request that names no dispatch server still answers the screen that locked itself for it.
TEST_F(controller_fixture, request_without_a_server_posts_disconnect_local) {
    start();
    ctl->set_parking(5);
    EXPECT_TRUE(listener.wait_for(zel_api::disconnect_local_name()).test(zel_api::disconnect_local_name()));
    // An index past the list, as after a login-server exchange that emptied it.
    ctl->store().process_packet(device_server_text(7, {L"127.0.0.1:1"}));
    ctl->set_server_index(1);
    EXPECT_FALSE(ctl->get_current_server());
    ctl->connect_org(1, L"1234", 77);
    EXPECT_TRUE(listener.wait_for(zel_api::disconnect_local_name(), 2).test(zel_api::disconnect_local_name()));
    EXPECT_FALSE(ctl->is_connected());
}

TEST_F(controller_fixture, unreachable_dispatch_server_posts_disconnect_local) {
    start();
    add_dispatch_server(unused_port());
    ctl->connect_org(0, L"1234", 77);
    listener.wait_for(zel_api::disconnect_local_name());
    EXPECT_FALSE(ctl->is_connected());
    EXPECT_FALSE(ctl->is_logged_in());
}

TEST_F(controller_fixture, call_signs_come_over_a_connection_of_their_own) {
    auto server = dispatch_server("callsigns.script");
    start();
    add_dispatch_server(server->port());
    ctl->set_server_index(-1);
    ctl->request_callsign_list(L"M1", L"L1", 9, 0);
    ASSERT_TRUE(listener.wait_for_result(zel_api::get_callsign_list_for_device_name()).payload());
    listener.wait_for(zel_api::disconnect_local_name());
    ASSERT_EQ(ctl->get_callsigns().size(), 1u);
    EXPECT_EQ(ctl->get_callsigns()[0]->callsign_name, L"Альфа");
    EXPECT_FALSE(ctl->is_connected());
    expect_script_done(*server);
}

TEST_F(controller_fixture, searches_over_the_store) {
    start();
    ctl->store().process_packet(L"{\"ref-area\":{\"id\":1,\"n\":\"Центр\",\"t\":2,\"cid\":[3,4,3]}}"
                                L"{\"ref-area\":{\"id\":3,\"n\":\"Вокзал\",\"t\":1}}"
                                L"{\"ref-area\":{\"id\":4,\"n\":\"Рынок\",\"t\":1}}"
                                L"{\"order\":{\"s-id\":\"9\",\"l-type\":3,\"ttp\":1}}"
                                L"{\"order\":{\"s-id\":\"8\",\"l-type\":4,\"s\":2}}");
    std::vector<int64_t> sub_ids;
    for (const auto& area : ctl->get_sub_areas(1)) {
        sub_ids.push_back(area->id);
    }
    EXPECT_EQ(sub_ids, (std::vector<int64_t>{3, 4, 3}));
    EXPECT_TRUE(ctl->get_sub_areas(99).empty());
    EXPECT_EQ(ctl->get_area_type(1), 2);
    EXPECT_EQ(ctl->get_area_type(99), 0);
    EXPECT_EQ(ctl->get_type2_areas().size(), 1u);
    EXPECT_TRUE(ctl->find_order(4, L"8")); // any kind but 1 to 3: the current order
    EXPECT_FALSE(ctl->find_order(3, L"8"));
    EXPECT_FALSE(ctl->any_order_3_flag_clear());
    ctl->store().process_packet(L"{\"order\":{\"s-id\":\"10\",\"l-type\":3,\"ttp\":0}}");
    EXPECT_TRUE(ctl->any_order_3_flag_clear());
}

} // namespace
} // namespace zel::controller_::test
