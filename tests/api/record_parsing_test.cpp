// Rules every record shares: the wire-name check, strict member types, ignored members, and no trace of a
// parse that failed.
#include "api/command/command_parse_exc.h"
#include "api/command/received/adc.h"
#include "api/command/received/callsign_info.h"
#include "api/command/received/car.h"
#include "api/command/received/cars.h"
#include "api/command/received/cmd_result.h"
#include "api/command/received/currency.h"
#include "api/command/received/login_reply.h"
#include "api/command/received/msg.h"
#include "api/command/received/msg_del.h"
#include "api/command/received/nda.h"
#include "api/command/received/obj_device_server.h"
#include "api/command/received/obj_main_id.h"
#include "api/command/received/obj_update.h"
#include "api/command/received/obj_zero_params.h"
#include "api/command/received/odel.h"
#include "api/command/received/order.h"
#include "api/command/received/order_dt.h"
#include "api/command/received/order_offer.h"
#include "api/command/received/order_offer_cancel.h"
#include "api/command/received/order_offer_timeout.h"
#include "api/command/received/order_point.h"
#include "api/command/received/ref_area.h"
#include "api/command/received/ref_rate.h"
#include "api/command/received/ref_tariff.h"
#include "api/command/received/reply_error.h"
#include "api/command/received/riv.h"
#include "api/command/received/sell_shift.h"
#include "api/command/received/session_fix_param.h"
#include "api/command/received/session_param.h"
#include "api/command/received/shift.h"
#include "api/command/received/shift_del.h"
#include "api/command/received/tariff_rate.h"
#include "api/command/received/upload_uuid_reply.h"
#include "api/json/reader.h"
#include "api/json/type_error.h"
#include "fixture.h"
#include "foundation/text_utils.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace zel_api::command {
namespace {

std::string parse_failure(const std::wstring& text) {
    try {
        obj_update record;
        record.from_json(text);
    } catch (const command_parse_exc& error) {
        return std::string("parse: ") + error.what();
    } catch (const json::type_error& error) {
        return std::string("type: ") + error.what();
    }
    return "accepted";
}

TEST(record_parsing, refuses_texts_of_other_commands_and_non_objects) {
    const struct {
        const wchar_t* text;
        const char* failure;
    } cases[] = {
        {LR"({"obj-update":{}})", "accepted"},
        {LR"( {"obj-update":{},"order":{}} )", "accepted"},
        {LR"({"order":{},"obj-update":{}})", "parse: Ошибка парсера: Неверные данные."},
        {LR"({"obj-updatex":{}})", "parse: Ошибка парсера: Неверные данные."},
        {LR"({})", "parse: Ошибка парсера: Неверные данные."},
        {LR"(["obj-update"])", "type: value is an array, not an object"},
        {LR"({"obj-update":[]})", "type: value is an array, not an object"},
        {LR"({"obj-update":{})", "type: value is null, not an object"},
        {L"", "type: value is null, not an object"},
        {LR"({"obj-update":{"man":"1"}})", "type: \"man\": value is a string, not an integer"},
        {LR"({"obj-update":{"version":3}})", "type: \"version\": value is an integer, not a string"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_failure(c.text), c.failure);
    }
}

// A field of each JSON type given every other kind: only its own type passes (and an integer for a real).
TEST(record_parsing, member_types_are_strict_for_each_kind) {
    const wchar_t* kinds[] = {L"null", L"true", L"7", L"7.5", L"\"7\"", L"[7]", L"{\"a\":7}"};
    const struct {
        const wchar_t* key;
        std::wstring accepted; // which of the kinds above parse
    } fields[] = {
        {L"s-id", L"....x.."},  // string
        {L"s", L"..x...."},     // integer
        {L"trade", L"..x...."}, // flag: integer
        {L"cts", L"..xx..."},   // real: also an integer
        {L"msum", L"x.xx..."},  // real or null
        {L"at", L"......."},    // array of objects: [7] fails on its element
        {L"af", L"......x"},    // object
    };
    for (const auto& field : fields) {
        for (int k = 0; k < 7; ++k) {
            order o;
            const std::wstring text = std::wstring(L"{\"order\":{\"") + field.key + L"\":" + kinds[k] + L"}}";
            if (field.accepted[k] == L'x') {
                EXPECT_NO_THROW(o.from_json(text)) << text;
            } else {
                EXPECT_THROW(o.from_json(text), json::type_error) << text;
            }
        }
    }
    order o;
    EXPECT_NO_THROW(o.from_json(LR"({"order":{"at":[],"af":{}}})"));
}

TEST(record_parsing, unknown_members_of_any_type_are_ignored) {
    ref_area area;
    area.from_json(LR"({"ref-area":{"x":null,"id":12,"y":[{"z":{}}],"idx":"a","n":"Центр","tt":true}})" +
                   std::wstring());
    EXPECT_EQ(area.id, 12);
    EXPECT_EQ(area.n, L"Центр");
}

// A text that fails part-way must leave the record exactly as it was, both a fresh one and one that is being
// updated in place.
TEST(record_parsing, a_failed_parse_leaves_no_trace) {
    order held;
    held.from_json(test::fixture_object("order_full"));
    const std::wstring before = L"Детское кресло";
    ASSERT_EQ(held.i, before);
    EXPECT_THROW(held.from_json(LR"({"order":{"i":"new","s":3,"at":[],"dct":{"p":1},"msum":"x"}})"), json::type_error);
    EXPECT_EQ(held.i, before);
    EXPECT_EQ(held.s, 8);
    EXPECT_EQ(held.at.size(), 2u);
    EXPECT_EQ(held.dct->p_ref(), 100.0f);

    ref_area fresh;
    EXPECT_THROW(fresh.from_json(LR"({"ref-area":{"id":5,"n":"a","cid":[1,2,null]}})"), json::type_error);
    EXPECT_EQ(fresh.id, 0);
    EXPECT_TRUE(fresh.n.empty());
    EXPECT_TRUE(fresh.cid.empty());

    session_param session;
    session.from_json(LR"({"session-param":{"balance":12}})");
    EXPECT_THROW(session.from_json(LR"({"session-param":{"balance":20,"callsign":1}})"), json::type_error);
    EXPECT_EQ(session.balance, 12.0f);
}

template <class Record>
concept reads_fields_in_place = requires(Record& record, const json::value& fields) {
    record.read_fields(fields);
};

template <class... Records> constexpr bool none_reads_fields_in_place = (!reads_fields_in_place<Records> && ...);

// No caller can fill a record in place and leave half of it on a failing member: the whole parse is all a
// record offers, sub-records included.
TEST(record_parsing, records_are_filled_only_whole) {
    static_assert(
        none_reads_fields_in_place<adc, callsign_info, car, cars, cmd_result, currency, login_reply, msg, msg_del, nda,
                                   obj_device_server, obj_main_id, obj_update, obj_zero_params, odel, order, order_dt,
                                   order_offer, order_offer_cancel, order_offer_timeout, order_point, ref_area,
                                   ref_rate, ref_tariff, reply_error, riv, sell_shift, session_fix_param, session_param,
                                   shift, shift_del, tariff_rate, upload_uuid_reply>);

    order_point point;
    point.from_value(json::read(R"({"t":"Ленина, 1","tx":"подъезд 2"})"));
    EXPECT_THROW(point.from_value(json::read(R"({"t":"Мира, 5","tx":7})")), json::type_error);
    EXPECT_EQ(point.t, L"Ленина, 1");
    EXPECT_EQ(point.tx, L"подъезд 2");

    // An offer whose nested order fails part-way keeps its earlier order whole.
    order_offer offer;
    offer.from_json(LR"({"order-offer":{"s-order-id":"1","order":{"s-id":"1","i":"кресло","s":2}}})");
    EXPECT_THROW(offer.from_json(LR"({"order-offer":{"s-order-id":"2","order":{"s-id":"2","i":"нет","s":"x"}}})"),
                 json::type_error);
    EXPECT_EQ(offer.s_order_id, L"1");
    EXPECT_EQ(offer.order.s_id, L"1");
    EXPECT_EQ(offer.order.i, L"кресло");
    EXPECT_EQ(offer.order.s, 2);
}

// A figure of money or a rate that is not finite, or beyond any fare, balance or rate, refuses its record (the
// store logs and skips it); inside an order's own rates or purchase terms it cuts that block short and keeps the
// order, with a log line. 1e308 and 3.5e38 were infinities once narrowed to a float.
TEST(record_parsing, figures_beyond_the_range_of_money_are_refused) {
    const std::wstring beyond[] = {L"1e308", L"-1.7e308", L"3.5e38", L"-3.5e38", L"1e9", L"-1000000000"};
    const struct {
        const wchar_t* before; // the record's text up to the figure
        const wchar_t* after;
    } records[] = {
        {LR"({"order":{"s-id":"1","cts":)", L"}}"},
        {LR"({"order":{"s-id":"1","msum":)", L"}}"},
        {LR"({"session-param":{"balance":)", L"}}"},
        {LR"({"shift":{"id":1,"c":)", L"}}"},
        {LR"({"currency":{"precision":)", L"}}"},
        {LR"({"ref-tariff":{"s-id":"T","pp":)", L"}}"},
        {LR"({"ref-tariff":{"s-id":"T","btax-dist":)", L"}}"},
        {LR"({"ref-tariff":{"s-id":"T","max-pay-sum-lsl":)", L"}}"},
        {LR"({"order-offer":{"s-order-id":"1","fine-sum":)", L"}}"},
    };
    for (const auto& r : records) {
        for (const std::wstring& figure : beyond) {
            const std::wstring text = r.before + figure + r.after;
            const json::value root = json::read(zel::wide_to_utf8(text));
            const std::string& wire = root.as_object().front().name;
            try {
                if (wire == "order") {
                    order().from_value(root);
                } else if (wire == "session-param") {
                    session_param().from_value(root);
                } else if (wire == "shift") {
                    shift().from_value(root);
                } else if (wire == "currency") {
                    currency().from_value(root);
                } else if (wire == "ref-tariff") {
                    ref_tariff().from_value(root);
                } else {
                    order_offer().from_value(root);
                }
                ADD_FAILURE() << "accepted: " << zel::wide_to_utf8(text);
            } catch (const json::type_error& error) {
                EXPECT_NE(std::string(error.what()).find("beyond the range of money"), std::string::npos)
                    << error.what();
            }
        }
    }

    // The largest figures inside the range still read.
    session_param session;
    session.from_json(LR"({"session-param":{"balance":999999999.0}})");
    EXPECT_EQ(session.balance, 999999999.0f);
    order_offer offer;
    offer.from_json(LR"({"order-offer":{"s-order-id":"1","fine-sum":-999999999.9}})");
    EXPECT_EQ(offer.fine_sum, -999999999.9);

    // Nested rates: the order stays, the block keeps what came before the refused figure, and the log says so.
    zel::test::log_capture log;
    order o;
    o.from_json(LR"({"order":{"s-id":"1","dct":{"p":120,"cdu":1e308,"ctu":5},"dt":{"p":10,"mc":-1e308},"msum":50}})");
    EXPECT_EQ(o.msum, 50.0f);
    ASSERT_TRUE(o.dct);
    EXPECT_EQ(o.dct->p_ref(), 120.0f);
    EXPECT_EQ(o.dct->cdu_ref(), 0.0f);
    ASSERT_TRUE(o.dt);
    EXPECT_EQ(o.dt->p, 10.0);
    EXPECT_EQ(o.dt->mc, 0.0);
    EXPECT_NE(log.text().find("order rates of an order cut short"), std::string::npos) << log.text();
    EXPECT_NE(log.text().find("order purchase terms of an order cut short"), std::string::npos) << log.text();
}

TEST(record_parsing, packet_pieces_with_raw_line_breaks_read) {
    const auto pieces = split_json_objects(L"{\"session-param\":{\"car-name\":\"a\r\nb\"}}");
    ASSERT_EQ(pieces.size(), 1u);
    session_param session;
    session.from_json(pieces[0]);
    EXPECT_EQ(session.car_name, L"a\r\nb");
}

} // namespace
} // namespace zel_api::command
