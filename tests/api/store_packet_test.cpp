// Received packets replayed through the store: the update mask of each, and what the getters return after it.
#include "api/database.h"
#include "foundation/device_info.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace zel_api::test {
namespace {

using names = std::set<std::wstring>;

TEST_F(store_test, login_answer_stores_parameters_and_reference_data) {
    const update_mask mask = feed(store_packets("login_answer").at(0));
    EXPECT_EQ(names_in(mask),
              (names{L"session-fix-param", L"session-param", L"ref-area", L"ref-rate", L"nda", L"adc", L"cmd-result"}));
    ASSERT_NE(mask.payload(), nullptr);
    EXPECT_EQ(mask.payload()->cmd_name, L"login");
    EXPECT_TRUE(mask.payload()->ok);

    ASSERT_NE(db_.get_session_fix_param(), nullptr);
    EXPECT_EQ(db_.get_session_fix_param()->driver_fio, L"Иванов Иван Иванович");
    ASSERT_NE(db_.get_session_param(), nullptr);
    EXPECT_EQ(db_.get_session_param()->driver_status, 4);
    ASSERT_NE(db_.get_currency(), nullptr);
    EXPECT_EQ(db_.get_currency()->precision(), 0.5f);
    // Areas are appended, never merged: both records of id 13 stay, in arrival order.
    const auto areas = db_.get_areas();
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(areas[1]->n, L"Вокзал");
    EXPECT_EQ(areas[2]->n, L"Вокзал, стоянка 2");
    EXPECT_EQ(db_.get_rates().size(), 1u);
    ASSERT_NE(db_.find_riv(1), nullptr);
    EXPECT_EQ(db_.find_riv(1)->v, 4);
    ASSERT_NE(db_.get_tariff(L"T-15"), nullptr);
    EXPECT_EQ(db_.get_tariff(L"T-15")->pp, 99.5f);
    EXPECT_EQ(db_.find_tariff(L"t-15"), nullptr);
    ASSERT_NE(db_.get_cars(), nullptr);
    EXPECT_EQ(db_.get_cars()->freecars.size(), 1u);
    ASSERT_NE(db_.find_nda(12), nullptr);
    EXPECT_EQ(db_.find_nda(12)->c, 5);
    ASSERT_NE(db_.find_adc(13), nullptr);
    EXPECT_EQ(db_.find_adc(13)->q, 1);
    EXPECT_EQ(db_.get_server_clock()->offset(), 100);
    EXPECT_EQ(db_.get_server_clock()->server_seconds(), 10800);
    EXPECT_EQ(db_.get_server_clock()->server_now(), 1'600'000'100);
}

TEST_F(store_test, order_offer_and_its_notices) {
    const std::vector<update_mask> masks = feed_all("order_offer");
    ASSERT_EQ(masks.size(), 3u);
    EXPECT_EQ(names_in(masks[0]), names{L"order-offer"});
    EXPECT_EQ(names_in(masks[1]), names{L"order-offer-timeout"});
    EXPECT_EQ(names_in(masks[2]), names{L"order-offer-cancel"});
    const auto offer = db_.get_order_offer();
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->s_order_id, L"2001");
    EXPECT_TRUE(offer->fineable);
    EXPECT_EQ(offer->order.s_id, L"2001");
    // The offered order is the offer's own, not an order of list 1, and plays no new-order sound.
    EXPECT_TRUE(db_.get_orders_1().empty());
    EXPECT_TRUE(sounds_.empty());
}

TEST_F(store_test, order_life_through_statuses_1_to_8_and_deletion) {
    feed(store_packets("login_answer").at(0));
    const std::vector<std::wstring> packets = store_packets("order_life");
    struct step {
        names mask;
        std::size_t in_list_1;
        int current_status; // 0: no current order
        int64_t status2_at; // seconds after the start; -1: empty stamp
        int64_t status3_at;
        bool taximeter_running;
    };
    const std::vector<step> steps = {
        {{L"order"}, 1, 0, -1, -1, false},
        {{L"odel", L"order", L"cmd-result"}, 0, 2, 60, -1, false},
        {{L"order", L"cmd-result"}, 0, 3, 60, 120, false},
        {{L"order"}, 0, 4, 60, 120, false},
        {{L"order"}, 0, 5, 60, 120, false},
        {{L"order"}, 0, 6, 60, 120, false},
        {{L"order"}, 0, 7, 60, 120, false},
        {{L"order", L"cmd-result"}, 0, 8, 60, 120, true},
        {{L"odel", L"cmd-result"}, 0, 0, 60, 120, false},
    };
    ASSERT_EQ(packets.size(), steps.size());
    const int64_t start_s = test_start_ms / 1000;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("packet " + std::to_string(i + 1));
        clock_.set_wall_ms(test_start_ms + static_cast<int64_t>(i) * 60'000);
        const step& s = steps[i];
        EXPECT_EQ(names_in(feed(packets[i])), s.mask);
        EXPECT_EQ(db_.get_orders_1().size(), s.in_list_1);
        const auto current = db_.get_current_order();
        if (s.current_status == 0) {
            EXPECT_EQ(current, nullptr);
        } else {
            ASSERT_NE(current, nullptr);
            EXPECT_EQ(current->s_id, L"3001");
            EXPECT_EQ(current->s, s.current_status);
            // Members an update lacks keep their values.
            EXPECT_EQ(current->af.t, L"ул. Ленина, 10");
            EXPECT_EQ(current, db_.find_order(4, L"3001"));
        }
        const status_stamp stamp2 = db_.get_status2_stamp();
        const status_stamp stamp3 = db_.get_status3_stamp();
        EXPECT_EQ(stamp2.time, s.status2_at < 0 ? 0 : start_s + s.status2_at);
        EXPECT_EQ(stamp2.order_id, s.status2_at < 0 ? L"" : L"3001");
        EXPECT_EQ(stamp3.time, s.status3_at < 0 ? 0 : start_s + s.status3_at);
        EXPECT_EQ(db_.get_taximeter()->is_running(), s.taximeter_running);
        if (s.taximeter_running) {
            // No "dct": the reference tariff "T-15" prices the ride.
            EXPECT_EQ(db_.get_taximeter()->order_id(), L"3001");
            EXPECT_EQ(db_.get_taximeter()->base_price(), 99.5f);
        }
    }
    EXPECT_EQ(sounds_, std::vector<int>{1});
}

TEST_F(store_test, ride_starts_reprices_survives_a_reconnect_and_stops_when_its_order_is_deleted) {
    const std::vector<std::wstring> packets = store_packets("ride");
    ASSERT_EQ(packets.size(), 6u);
    auto& meter = *db_.get_taximeter();
    double north_m = 0.0;
    auto drive = [&](int seconds) {
        for (int i = 0; i < seconds; ++i) {
            clock_.advance_ms(1000);
            gps_.deliver(north_m += 10.0, 36.0);
        }
    };

    EXPECT_EQ(names_in(feed(packets[0])), names{L"order"});
    ASSERT_TRUE(meter.is_running());
    EXPECT_EQ(meter.order_id(), L"4001");
    EXPECT_EQ(meter.base_price(), 100.0f);
    drive(10);
    const float before = meter.distance();
    EXPECT_GT(before, 50.0f);

    // Every "order" during the ride hands the taximeter the order's rates again.
    feed(packets[1]);
    EXPECT_EQ(meter.base_price(), 120.0f);
    EXPECT_TRUE(meter.is_running());
    EXPECT_EQ(meter.distance(), before);

    // A reconnect empties the store; an "odel" of another order must not end the ride.
    db_.clear_all();
    EXPECT_EQ(names_in(feed(packets[2])), names{L"odel"});
    EXPECT_TRUE(meter.is_running());
    EXPECT_TRUE(std::filesystem::exists(folder_.path() / "tax_dump.bin"));
    feed(packets[3]);
    EXPECT_TRUE(meter.is_running());
    EXPECT_EQ(meter.distance(), before);
    drive(5);
    EXPECT_GT(meter.distance(), before);

    // An "odel" of another list that names the order leaves the driver's order in work alone.
    feed(packets[4]);
    EXPECT_TRUE(meter.is_running());
    EXPECT_NE(db_.get_current_order(), nullptr);

    EXPECT_EQ(names_in(feed(packets[5])), names{L"odel"});
    EXPECT_FALSE(meter.is_running());
    EXPECT_EQ(db_.get_current_order(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "tax_dump.bin"));
}

// After a reconnect emptied the store: until the login's answer has come, an "odel" that leaves list 4 empty
// says nothing of the ride; from the packet after that answer, list 4 is the server's word, and a ride whose
// order it no longer holds (closed on the server while the terminal was offline) ends.
TEST_F(store_test, after_a_reconnect_the_login_decides_whether_the_ride_goes_on) {
    const std::wstring ride = LR"({"order":{"s-id":"4001","l-type":4,"s":8,"dct":{"p":100,"cdu":10}}})";
    const std::wstring login_ok = LR"({"cmd-result":{"cmd-name":"login","ok":1}})";
    const std::wstring login_failed = LR"({"cmd-result":{"cmd-name":"login","ok":0,"err":"PIN"}})";
    const std::wstring other_result = LR"({"cmd-result":{"cmd-name":"set-parking","ok":1}})";
    const std::wstring session = LR"({"session-param":{"driver-status":4}})";
    const std::wstring odel_list_1 = LR"({"odel":{"l-type":1,"s-ids":["5001"]}})";
    const std::wstring odel_other = LR"({"odel":{"l-type":4,"s-ids":["4999"]}})";
    const std::wstring other_in_work = LR"({"order":{"s-id":"4002","l-type":4,"s":2}})";
    const struct {
        const char* what;
        std::vector<std::wstring> packets; // after the reconnect's clear_all
        bool running;
    } rows[] = {
        {"an odel before the login", {odel_other, odel_list_1}, true},
        {"listed again in the login's answer", {session + ride + login_ok, odel_list_1, odel_other}, true},
        {"listed again after the answer", {session + login_ok, ride, odel_other}, true},
        {"an odel in the login's answer itself", {session + odel_other + login_ok}, true},
        {"a failed login", {login_failed, odel_other}, true},
        {"another command's result", {other_result, odel_list_1}, true},
        {"gone: an odel of another list after the login", {session + login_ok, odel_list_1}, false},
        {"gone: another order in work", {session + other_in_work + login_ok, odel_other}, false},
        {"gone: named in list 4 before the login", {LR"({"odel":{"l-type":4,"s-ids":["4001"]}})"}, false},
        {"a second reconnect before the login", {login_ok, L"clear_all", odel_list_1}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        database db([](int) {});
        auto& meter = *db.get_taximeter();
        db.process_packet(ride);
        ASSERT_TRUE(meter.is_running());
        for (int i = 1; i <= 7; ++i) {
            clock_.advance_ms(1000);
            gps_.deliver(i * 10.0, 36.0);
        }
        ASSERT_TRUE(std::filesystem::exists(folder_.path() / "tax_dump.bin"));
        const float before = meter.distance();

        log_capture log;
        db.clear_all();
        for (const std::wstring& packet : row.packets) {
            if (packet == L"clear_all") {
                db.clear_all();
            } else {
                db.process_packet(packet);
            }
        }
        EXPECT_EQ(meter.is_running(), row.running);
        EXPECT_EQ(std::filesystem::exists(folder_.path() / "tax_dump.bin"), row.running);
        if (row.running) {
            EXPECT_EQ(meter.order_id(), L"4001");
            EXPECT_EQ(meter.distance(), before);
            meter.stop();
        } else {
            EXPECT_NE(log.wide_text().find(L"order \"4001\""), std::wstring::npos);
        }
    }
}

TEST_F(store_test, messages_update_by_copy_and_are_deleted) {
    const std::vector<std::wstring> packets = store_packets("messages");
    EXPECT_EQ(names_in(feed(packets.at(0))), names{L"msg"});
    const auto held = db_.find_msg(51);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->txt, L"Проверка связи");
    EXPECT_EQ(db_.find_msg(52)->txt, L"Завтра \"акция\" {скидка}");

    EXPECT_EQ(names_in(feed(packets.at(1))), names{L"msg"});
    // The screen's record stays as it was; looked up again, the message has the update at the same place.
    EXPECT_EQ(held->s, 0);
    const auto messages = db_.get_messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], db_.find_msg(51));
    EXPECT_EQ(messages[0]->s, 1);
    EXPECT_EQ(messages[0]->txt, L"Проверка связи");

    // "msg-del" has no bit of its own.
    EXPECT_TRUE(feed(packets.at(2)).empty());
    EXPECT_EQ(db_.find_msg(51), nullptr);
    ASSERT_EQ(db_.get_messages().size(), 1u);
    EXPECT_EQ(db_.get_messages()[0]->id, 52);
    EXPECT_EQ(held->txt, L"Проверка связи");
}

TEST_F(store_test, shifts_are_sold_updated_and_deleted) {
    const std::vector<update_mask> masks = feed_all("shifts");
    ASSERT_EQ(masks.size(), 3u);
    EXPECT_EQ(names_in(masks[0]), names{L"shift"});
    EXPECT_EQ(names_in(masks[1]), (names{L"sell-shift", L"shift", L"cmd-result"}));
    EXPECT_EQ(names_in(masks[2]), names{L"shift-del"});
    const auto shifts = db_.get_shifts();
    ASSERT_EQ(shifts.size(), 1u);
    EXPECT_EQ(shifts[0]->id, 31);
    EXPECT_EQ(shifts[0]->status, 0);
    EXPECT_EQ(shifts[0]->n, L"Дневная");
    EXPECT_EQ(db_.find_shift(32), nullptr);
    EXPECT_TRUE(db_.get_sell_shifts().empty());
}

TEST_F(store_test, shift_sale_is_found_by_its_sale_id) {
    feed(store_packets("shifts").at(1));
    const auto sale = db_.find_sell_shift(701);
    ASSERT_NE(sale, nullptr);
    EXPECT_EQ(sale->id_shift, 31);
    EXPECT_EQ(db_.find_sell_shift(31), nullptr);
}

TEST_F(store_test, session_parameters_merge_and_set_the_server_clock) {
    const std::vector<std::wstring> packets = store_packets("session");
    EXPECT_EQ(names_in(feed(packets.at(0))), names{L"session-param"});
    EXPECT_EQ(db_.get_server_clock()->offset(), 100);
    EXPECT_EQ(db_.get_server_clock()->server_seconds(), 10800);
    const auto first = db_.get_session_param();

    feed(packets.at(1));
    const auto second = db_.get_session_param();
    EXPECT_EQ(second->driver_status, 2);
    EXPECT_EQ(second->balance, 150.5f);
    EXPECT_EQ(second->callsign, L"A1");
    EXPECT_EQ(first->driver_status, 4);
    // No "dt": the offset stays.
    EXPECT_EQ(db_.get_server_clock()->offset(), 100);

    feed(packets.at(2));
    EXPECT_EQ(db_.get_server_clock()->offset(), 0);
    EXPECT_EQ(db_.get_server_clock()->server_seconds(), 10800);
    EXPECT_EQ(db_.get_session_param()->driver_status, 2);
}

TEST_F(store_test, a_broken_object_costs_only_itself) {
    const std::vector<std::wstring> packets = store_packets("broken_object");
    log_capture log;

    // A member of the wrong type between two good objects: the result still reaches the screens.
    const update_mask first = feed(packets.at(0));
    EXPECT_EQ(names_in(first), (names{L"order", L"cmd-result"}));
    ASSERT_NE(first.payload(), nullptr);
    EXPECT_EQ(first.payload()->cmd_name, L"set-driver-status");
    const auto orders = db_.get_orders_1();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0]->s_id, L"5001");

    // Text that is not JSON.
    const update_mask second = feed(packets.at(1));
    EXPECT_EQ(names_in(second), (names{L"msg", L"cmd-result"}));
    EXPECT_NE(db_.find_msg(61), nullptr);
    EXPECT_EQ(db_.find_msg(62), nullptr);

    // A broken update of a held order leaves it whole; the next object applies.
    const update_mask third = feed(packets.at(2));
    EXPECT_EQ(names_in(third), names{L"msg"});
    EXPECT_EQ(db_.find_order(1, L"5001")->s, 1);
    EXPECT_NE(db_.find_msg(63), nullptr);

    const std::wstring text = log.wide_text();
    EXPECT_NE(text.find(L"object skipped"), std::wstring::npos);
    EXPECT_NE(text.find(L"{\"order\":{\"s-id\":5002,\"l-type\":1}}"), std::wstring::npos);
    EXPECT_NE(text.find(L"{\"msg\":{\"id\":62,,\"txt\":\"Второе\"}}"), std::wstring::npos);
}

// One absurd figure costs only itself: the offer, an order of the list and the current order are stored with
// that figure absent, the ride starts, and an update keeps the figure held. (3.5e38 and more is an infinity as
// a float.)
TEST_F(store_test, an_absurd_figure_costs_neither_the_offer_nor_an_order) {
    const update_mask mask = feed(
        LR"({"order-offer":{"s-order-id":"6001","fine-sum":1.7e308,"fineable":1,"order":{"s-id":"6001","msum":-1e300}}})"
        LR"({"order":{"s-id":"6002","l-type":1,"msum":-5e15,"st":2}})"
        LR"({"order":{"s-id":"6003","l-type":4,"s":8,"msum":150,"cts":1e300,"dct":{"p":120,"cdu":-3.5e38,"ctu":5}}})");
    EXPECT_EQ(names_in(mask), (names{L"order-offer", L"order"}));
    const auto offer = db_.get_order_offer();
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->s_order_id, L"6001");
    EXPECT_EQ(offer->fine_sum, 0.0);
    EXPECT_TRUE(offer->fineable);
    EXPECT_FALSE(offer->order.msum);
    const auto listed = db_.find_order(1, L"6002");
    ASSERT_NE(listed, nullptr);
    EXPECT_FALSE(listed->msum);
    EXPECT_EQ(listed->st, 2);
    const auto current = db_.get_current_order();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->s_id, L"6003");
    EXPECT_EQ(current->msum, 150.0f);
    EXPECT_FALSE(current->cts);
    ASSERT_TRUE(current->dct);
    EXPECT_EQ(current->dct->cdu_ref(), 0.0f);
    EXPECT_EQ(current->dct->ctu_ref(), 5.0f);
    EXPECT_TRUE(db_.get_taximeter()->is_running());

    feed(LR"({"order":{"s-id":"6003","l-type":4,"msum":1e9,"i":"кресло"}})");
    EXPECT_EQ(db_.get_current_order()->msum, 150.0f);
    EXPECT_EQ(db_.get_current_order()->i, L"кресло");
}

// Half a surrogate pair, where a server cut a text mid-character, is one replaced character; a "\u0000" is part
// of the text. Neither costs the object that carries it.
TEST_F(store_test, cut_characters_and_nul_escapes_keep_their_objects) {
    const update_mask mask =
        feed(LR"({"order":{"s-id":"7001","l-type":1,"i":"Багаж \uD83D"}})"
             LR"({"msg":{"id":71,"txt":"Скидка\u0000 10%\uDE00!"}})"
             LR"({"cmd-result":{"cmd-name":"set-driver-status","ok":1,"err":"\uD83D\uDE00\uD83D"}})");
    EXPECT_EQ(names_in(mask), (names{L"order", L"msg", L"cmd-result"}));
    ASSERT_NE(mask.payload(), nullptr);
    EXPECT_EQ(mask.payload()->cmd_name, L"set-driver-status");
    EXPECT_EQ(mask.payload()->err, L"\U0001F600\uFFFD");
    ASSERT_NE(db_.find_order(1, L"7001"), nullptr);
    EXPECT_EQ(db_.find_order(1, L"7001")->i, L"Багаж \uFFFD");
    ASSERT_NE(db_.find_msg(71), nullptr);
    EXPECT_EQ(db_.find_msg(71)->txt, std::wstring(L"Скидка\0 10%\uFFFD!", 13));
}

// An unescaped quote in one object: that object is lost, the rest of the packet and its result arrive.
TEST_F(store_test, an_unescaped_quote_costs_only_its_object) {
    log_capture log;
    const update_mask mask = feed(LR"({"order":{"s-id":"8001","l-type":1}})"
                                  LR"({"msg":{"id":81,"txt":"5" screen"}})"
                                  LR"({"msg":{"id":82,"txt":"ok"}})"
                                  LR"({"cmd-result":{"cmd-name":"set-driver-status","ok":1}})");
    EXPECT_EQ(names_in(mask), (names{L"order", L"msg", L"cmd-result"}));
    ASSERT_NE(mask.payload(), nullptr);
    EXPECT_EQ(mask.payload()->cmd_name, L"set-driver-status");
    EXPECT_NE(db_.find_order(1, L"8001"), nullptr);
    EXPECT_EQ(db_.find_msg(81), nullptr);
    EXPECT_NE(db_.find_msg(82), nullptr);
    const std::wstring text = log.wide_text();
    EXPECT_NE(text.find(L"braces counted without strings"), std::wstring::npos);
    EXPECT_NE(text.find(L"object skipped"), std::wstring::npos);
    EXPECT_NE(text.find(LR"({"msg":{"id":81,"txt":"5" screen"}})"), std::wstring::npos);
}

TEST_F(store_test, unbalanced_braces_drop_the_packet) {
    log_capture log;
    const update_mask mask = feed(L"{\"order\":{\"s-id\":\"1\",\"l-type\":1}}{\"msg\":{\"id\":1");
    EXPECT_TRUE(mask.empty());
    EXPECT_TRUE(db_.get_orders_1().empty());
    EXPECT_NE(log.wide_text().find(L"packet dropped"), std::wstring::npos);
}

TEST_F(store_test, packets_that_store_nothing_or_set_no_bit) {
    struct row {
        const wchar_t* packet;
        names mask;
    };
    const row rows[] = {
        {L"{}", {}},
        {L"", {}},
        {L"{\"currency\":{\"precision\":1}}", {}},
        {L"{\"riv\":{\"id\":3,\"v\":1}}{\"cars\":{\"freecars\":[]}}{\"callsign-info\":{\"callsign-name\":\"B7\"}}", {}},
        {L"{\"unknown-record\":{\"a\":1}}", {}},
        {L"{\"command_http_reg\":{}}", {L"command_http_reg"}},
        {L"{\"disconnect_local\":1}", {L"disconnect_local"}},
        {L"{\"order\":{\"s-id\":\"9\",\"l-type\":5,\"s\":2}}", {L"order"}},
        {L"[1,2]{\"odel\":{\"l-type\":4,\"s-ids\":[\"none\"]}}", {L"odel"}},
    };
    for (const row& r : rows) {
        EXPECT_EQ(names_in(feed(r.packet)), r.mask) << r.packet;
    }
    // The order of kind 5 went nowhere and stamped nothing.
    EXPECT_EQ(db_.find_order(5, L"9"), nullptr);
    for (int kind = 1; kind <= 4; ++kind) {
        EXPECT_TRUE(db_.get_orders(kind).empty());
    }
    EXPECT_EQ(db_.get_status2_stamp().order_id, L"");
    EXPECT_EQ(db_.get_callsigns().size(), 1u);
    EXPECT_EQ(db_.get_currency()->precision(), 1.0f);
}

TEST_F(store_test, the_second_cmd_result_is_the_payload) {
    const update_mask mask = feed(L"{\"cmd-result\":{\"cmd-name\":\"login\",\"ok\":0}}"
                                  L"{\"cmd-result\":{\"cmd-name\":\"set-parking\",\"ok\":1}}");
    ASSERT_NE(mask.payload(), nullptr);
    EXPECT_EQ(mask.payload()->cmd_name, L"set-parking");
}

TEST_F(store_test, one_new_order_sound_a_packet) {
    const wchar_t* const packets[] = {
        L"{\"order\":{\"s-id\":\"1\",\"l-type\":1}}{\"order\":{\"s-id\":\"2\",\"l-type\":2}}",
        L"{\"order\":{\"s-id\":\"3\",\"l-type\":2}}",
        L"{\"order\":{\"s-id\":\"1\",\"l-type\":1,\"s\":1}}",
        L"{\"order\":{\"s-id\":\"4\",\"l-type\":3}}{\"order\":{\"s-id\":\"5\",\"l-type\":4}}",
    };
    for (const wchar_t* packet : packets) {
        feed(packet);
    }
    EXPECT_EQ(sounds_, (std::vector<int>{1, 2}));
}

TEST_F(store_test, status_stamps_keep_the_first_time_of_each_order) {
    feed(L"{\"order\":{\"s-id\":\"A\",\"l-type\":4,\"s\":2}}");
    clock_.advance_ms(30'000);
    feed(L"{\"order\":{\"s-id\":\"A\",\"l-type\":4,\"s\":2}}{\"order\":{\"s-id\":\"B\",\"l-type\":3,\"s\":2}}");
    EXPECT_EQ(db_.get_status2_stamp().order_id, L"A");
    EXPECT_EQ(db_.get_status2_stamp().time, test_start_ms / 1000);
    feed(L"{\"order\":{\"s-id\":\"C\",\"l-type\":4,\"s\":2}}");
    EXPECT_EQ(db_.get_status2_stamp().order_id, L"C");
    EXPECT_EQ(db_.get_status2_stamp().time, test_start_ms / 1000 + 30);
    EXPECT_EQ(db_.get_status3_stamp().order_id, L"");
}

TEST_F(store_test, the_current_order_is_the_one_added_last) {
    feed(L"{\"order\":{\"s-id\":\"A\",\"l-type\":4,\"s\":2}}{\"order\":{\"s-id\":\"B\",\"l-type\":4,\"s\":2}}");
    feed(L"{\"order\":{\"s-id\":\"A\",\"l-type\":4,\"s\":3}}");
    EXPECT_EQ(db_.get_current_order()->s_id, L"B");
    EXPECT_EQ(db_.find_order(4, L"A")->s, 3);
    EXPECT_EQ(db_.get_orders(4).size(), 2u);
}

// Order lists under mixed packets: deletions in the middle (several in one "odel", one by erase_order), re-sent
// orders replaced at their place by new records while a reader keeps the old ones, deleted ids coming back at
// the end, and other lists untouched. Every id is then found as the record at its place, and no deleted one.
TEST_F(store_test, order_lists_keep_their_order_and_find_every_id_through_mixed_updates) {
    auto order = [](int id, int kind, const std::wstring& note) {
        return L"{\"order\":{\"s-id\":\"" + std::to_wstring(id) + L"\",\"l-type\":" + std::to_wstring(kind) +
               L",\"i\":\"" + note + L"\"}}";
    };
    std::wstring first;
    for (int id = 1; id <= 40; ++id) {
        first += order(id, 1, L"a") + (id % 10 == 0 ? order(id, 2, L"b") : L"");
    }
    feed(first);
    const auto before = db_.get_orders_1();

    std::wstring mixed = L"{\"odel\":{\"l-type\":1,\"s-ids\":[\"3\",\"17\",\"40\",\"99\",\"17\"]}}";
    mixed += order(9, 1, L"c") + order(41, 1, L"a") + order(3, 1, L"d") + order(25, 1, L"c");
    mixed += L"{\"odel\":{\"l-type\":2,\"s-ids\":[\"20\"]}}";
    const update_mask mask = feed(mixed);
    EXPECT_TRUE(mask.test(L"order"));
    EXPECT_TRUE(mask.test(L"odel"));
    db_.erase_order(1, L"1");
    feed(order(2, 1, L"e"));

    std::vector<std::wstring> expected_ids;
    for (int id = 2; id <= 39; ++id) {
        if (id != 3 && id != 17) {
            expected_ids.push_back(std::to_wstring(id));
        }
    }
    expected_ids.push_back(L"41");
    expected_ids.push_back(L"3");
    const auto list = db_.get_orders_1();
    std::vector<std::wstring> ids;
    for (const auto& o : list) {
        ids.push_back(o->s_id);
        EXPECT_EQ(db_.find_order(1, o->s_id), o) << zel::wide_to_utf8(o->s_id);
        const std::wstring note = o->s_id == L"9" || o->s_id == L"25" ? L"c"
                                  : o->s_id == L"3"                   ? L"d"
                                  : o->s_id == L"2"                   ? L"e"
                                                                      : L"a";
        EXPECT_EQ(o->i, note) << zel::wide_to_utf8(o->s_id);
    }
    EXPECT_EQ(ids, expected_ids);
    for (const wchar_t* gone : {L"1", L"17", L"40", L"99"}) {
        EXPECT_EQ(db_.find_order(1, gone), nullptr) << zel::wide_to_utf8(gone);
    }

    // The reader's copy still holds the records as they were; untouched orders are the same records.
    ASSERT_EQ(before.size(), 40u);
    EXPECT_EQ(before[8]->i, L"a");
    EXPECT_NE(db_.find_order(1, L"9"), before[8]);
    EXPECT_EQ(db_.find_order(1, L"10"), before[9]);

    std::vector<std::wstring> second;
    for (const auto& o : db_.get_orders(2)) {
        second.push_back(o->s_id);
    }
    EXPECT_EQ(second, (std::vector<std::wstring>{L"10", L"30", L"40"}));
    EXPECT_EQ(db_.find_order(2, L"20"), nullptr);
    EXPECT_NE(db_.find_order(2, L"40"), nullptr);
}

TEST_F(store_test, clear_all_empties_the_session_lists_and_readers_keep_their_copies) {
    feed(store_packets("login_answer").at(0));
    feed_all("messages");
    feed_all("shifts");
    feed(L"{\"order\":{\"s-id\":\"1\",\"l-type\":1,\"i\":\"кресло\"}}{\"order\":{\"s-id\":\"2\",\"l-type\":4}}"
         L"{\"callsign-info\":{\"callsign-name\":\"B7\",\"driver-id\":5}}{\"shift\":{\"id\":40,\"n\":\"Вечер\"}}"
         L"{\"obj-device-server\":{\"n\":\"Мурманск\"}}");
    const auto orders = db_.get_orders_1();
    db_.clear_all();
    for (int kind = 1; kind <= 4; ++kind) {
        EXPECT_TRUE(db_.get_orders(kind).empty());
    }
    EXPECT_TRUE(db_.get_areas().empty());
    EXPECT_TRUE(db_.get_rates().empty());
    EXPECT_TRUE(db_.get_riv_list().empty());
    EXPECT_TRUE(db_.get_shifts().empty());
    EXPECT_NE(db_.get_tariff(L"T-15"), nullptr);
    EXPECT_EQ(db_.get_messages().size(), 1u);
    EXPECT_EQ(db_.get_callsigns().size(), 1u);
    EXPECT_EQ(db_.get_nda_list().size(), 1u);
    EXPECT_EQ(db_.get_device_servers().size(), 1u);
    EXPECT_NE(db_.get_session_param(), nullptr);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0]->i, L"кресло");

    db_.clear_callsigns();
    db_.clear_device_servers();
    EXPECT_TRUE(db_.get_callsigns().empty());
    EXPECT_TRUE(db_.get_device_servers().empty());
}

TEST_F(store_test, bill_and_registration_result_are_handed_through) {
    EXPECT_EQ(db_.get_bill(), nullptr);
    auto bill = std::make_shared<bill_record>(L"3001");
    db_.set_bill(bill);
    db_.get_bill()->total_ref() = 250.0f;
    EXPECT_EQ(bill->total_ref(), 250.0f);

    auto reply = std::make_shared<command::login_reply>();
    reply->status = L"ok";
    db_.set_http_reg_result(reply);
    EXPECT_EQ(db_.get_http_reg_result()->status, L"ok");
}

// A reference tariff that lacks members prices like one that carries the values of an order's own rates.
TEST_F(store_test, absent_reference_tariff_members_take_the_order_rate_values) {
    const std::wstring lacking = L"{\"ref-tariff\":{\"s-id\":\"T-1\",\"btax-time\":60}}";
    const std::wstring explicit_values = L"{\"ref-tariff\":{\"s-id\":\"T-1\",\"pp\":0,\"pp-dist\":0,\"pp-time\":0,"
                                         L"\"btax-dist\":0,\"btax-time\":60,\"speed-limit\":20,"
                                         L"\"max-pay-sum-lsl\":-1}}";
    auto time_cost_of = [this](const std::wstring& tariff, const std::wstring& order_id) {
        feed(tariff);
        feed(L"{\"order\":{\"s-id\":\"" + order_id + L"\",\"l-type\":4,\"s\":8,\"s-tid\":\"T-1\"}}");
        auto& meter = *db_.get_taximeter();
        EXPECT_TRUE(meter.is_running());
        EXPECT_EQ(meter.order_id(), order_id);
        for (int i = 0; i < 90; ++i) {
            clock_.advance_ms(1000);
            gps_.deliver(0.0, 0.0);
        }
        const float cost = meter.cost_time();
        meter.stop();
        return cost;
    };
    float lacking_cost = 0.0f;
    {
        log_capture log;
        lacking_cost = time_cost_of(lacking, L"A");
        EXPECT_NE(log.wide_text().find(L"reference tariff \"T-1\" lacks pp, pp-dist, pp-time, btax-dist, speed-limit, "
                                       L"max-pay-sum-lsl"),
                  std::wstring::npos);
    }
    const float explicit_cost = time_cost_of(explicit_values, L"B");
    EXPECT_GT(explicit_cost, 0.0f);
    EXPECT_EQ(lacking_cost, explicit_cost);
}

TEST_F(store_test, a_ride_without_rates_or_known_tariff_starts_with_zero_prices) {
    feed(L"{\"order\":{\"s-id\":\"Z\",\"l-type\":4,\"s\":8,\"s-tid\":\"nowhere\"}}");
    auto& meter = *db_.get_taximeter();
    EXPECT_TRUE(meter.is_running());
    EXPECT_TRUE(meter.has_tariff());
    EXPECT_EQ(meter.base_price(), 0.0f);
}

TEST_F(store_test, gps_positions_reach_the_taximeter_directly_too) {
    feed(store_packets("ride").at(0));
    auto& meter = *db_.get_taximeter();
    for (int i = 1; i <= 5; ++i) {
        clock_.advance_ms(1000);
        zel::gps::location fix;
        fix.accuracy = 2.0f;
        fix.latitude = 55.75 + i * 0.0001;
        fix.longitude = 37.62;
        fix.speed = 30.0f;
        fix.delivery_time = static_cast<uint64_t>(clock_.wall_ms() / 1000 * 1000);
        fix.satellites = 9; // dropped on the way
        db_.on_gps_position(fix);
    }
    EXPECT_GT(meter.distance(), 40.0f);
    for (const auto& point : meter.points()) {
        EXPECT_EQ(point.satellites, 0);
    }
}

TEST(store_device, main_id_goes_to_the_device_only_when_it_has_none) {
    zel::manual_clock clock{test_start_ms};
    temp_program_folder folder;
    test_gps_service gps;
    zel::device_info::create(nullptr);
    zel::device_info* device = zel::device_info::instance();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->main_id(), L"") << "the test runs in a process of its own";
    database db([](int) {});
    EXPECT_EQ(names_in(db.process_packet(L"{\"obj-main-id\":{\"main-id\":\"a1b2\"}}")), names{L"obj-main-id"});
    EXPECT_EQ(device->main_id(), L"a1b2");
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "main.id"));
    db.process_packet(L"{\"obj-main-id\":{\"main-id\":\"c3d4\"}}");
    EXPECT_EQ(device->main_id(), L"a1b2");
}

} // namespace
} // namespace zel_api::test
