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

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
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

// The text of a record as a value, with the figure in place of every string "@" (a NaN or an infinity has no
// JSON text, and a server's reader may still hand one on).
json::value with_figure(const std::string& text, double figure) {
    json::value root = json::read(text);
    const auto place = [figure](auto& self, json::value& v) -> void {
        if (v.type() == json::kind::string && v.as_string() == "@") {
            v = json::value::real(figure);
        } else if (v.type() == json::kind::object) {
            for (json::member& m : v.as_object()) {
                self(self, m.value);
            }
        }
    };
    place(place, root);
    return root;
}

// A figure of money, a rate or a precision that is not finite, or beyond any fare, balance or rate, counts as
// absent: the record keeps every other member, the figure keeps its default (or, in an update, the value held),
// and one log line names the member. 3.5e38 and 1e300 were infinities once narrowed to a float.
TEST(record_parsing, a_figure_beyond_the_range_of_money_counts_as_absent_and_its_record_stays) {
    const double inf = std::numeric_limits<double>::infinity();
    const double absurd[] = {std::nan(""), inf, -inf, 1e300, -1e300, 3.5e38, -5e15, 1e9, -1e9};
    const struct {
        const char* text; // "@" marks the figure
        std::function<bool(const json::value&)> kept_without_it;
    } records[] = {
        {R"({"order":{"s-id":"1","cts":"@","i":"кресло"}})",
         [](const json::value& v) {
             order o;
             o.from_value(v);
             return o.s_id == L"1" && !o.cts && o.i == L"кресло";
         }},
        {R"({"order":{"s-id":"1","msum":"@","star":2}})",
         [](const json::value& v) {
             order o;
             o.from_value(v);
             return !o.msum && o.star == 2;
         }},
        {R"({"order":{"s-id":"1","dct":{"p":120,"cdu":"@","ctu":5},"msum":50}})",
         [](const json::value& v) {
             order o;
             o.from_value(v);
             return o.dct && o.dct->p_ref() == 120.0f && o.dct->cdu_ref() == 0.0f && o.dct->ctu_ref() == 5.0f &&
                    o.msum == 50.0f;
         }},
        {R"({"order":{"s-id":"1","dt":{"mc":"@","p":10}}})",
         [](const json::value& v) {
             order o;
             o.from_value(v);
             return o.dt && o.dt->mc == 0.0 && o.dt->p == 10.0;
         }},
        {R"({"order-offer":{"s-order-id":"7","fine-sum":"@","fine-rating":3,"order":{"s-id":"7"}}})",
         [](const json::value& v) {
             order_offer offer;
             offer.from_value(v);
             return offer.s_order_id == L"7" && offer.fine_sum == 0.0 && offer.fine_rating == 3 &&
                    offer.order.s_id == L"7";
         }},
        {R"({"order-offer":{"s-order-id":"7","order":{"s-id":"7","msum":"@","i":"x"}}})",
         [](const json::value& v) {
             order_offer offer;
             offer.from_value(v);
             return offer.order.s_id == L"7" && !offer.order.msum && offer.order.i == L"x";
         }},
        {R"({"session-param":{"balance":"@","callsign":"A1"}})",
         [](const json::value& v) {
             session_param session;
             session.balance = 12.5f; // the held value, as an update finds it
             session.from_value(v);
             return session.balance == 12.5f && session.callsign == L"A1";
         }},
        {R"({"shift":{"id":1,"c":"@","dur":12}})",
         [](const json::value& v) {
             shift s;
             s.from_value(v);
             return !s.c && s.dur == 12;
         }},
        {R"({"currency":{"precision":"@"}})",
         [](const json::value& v) {
             currency c;
             c.from_value(v);
             return c.precision() == 1.0f;
         }},
        {R"({"ref-tariff":{"s-id":"T","pp":"@","btax-dist":"@","max-pay-sum-lsl":"@","pp-dist":3}})",
         [](const json::value& v) {
             ref_tariff t;
             t.from_value(v);
             return t.s_id == L"T" && !t.pp && !t.btax_dist && !t.max_pay_sum_lsl && t.pp_dist == 3;
         }},
    };
    size_t figures = 0;
    zel::test::log_capture log;
    for (const auto& r : records) {
        for (const double figure : absurd) {
            SCOPED_TRACE(std::string(r.text) + " with " + std::to_string(figure));
            const json::value root = with_figure(r.text, figure);
            EXPECT_NO_THROW(EXPECT_TRUE(r.kept_without_it(root)));
            for (const char* at = std::strchr(r.text, '@'); at != nullptr; at = std::strchr(at + 1, '@')) {
                ++figures;
            }
        }
    }
    // One line for each figure taken as absent, naming its member.
    const std::string lines = log.text();
    size_t said = 0;
    for (size_t at = lines.find("taken as absent"); at != std::string::npos;
         at = lines.find("taken as absent", at + 1)) {
        ++said;
    }
    EXPECT_EQ(said, figures) << lines;
    EXPECT_NE(lines.find(R"("fine-sum" holds the figure 1e+300)"), std::string::npos) << lines;
    EXPECT_NE(lines.find(R"("precision" holds the figure nan)"), std::string::npos) << lines;

    // The largest figures inside the range still read; a figure that is no number still refuses its record.
    session_param session;
    session.from_json(LR"({"session-param":{"balance":999999999.0}})");
    EXPECT_EQ(session.balance, 999999999.0f);
    order_offer offer;
    offer.from_json(LR"({"order-offer":{"s-order-id":"1","fine-sum":-999999999.9}})");
    EXPECT_EQ(offer.fine_sum, -999999999.9);
    EXPECT_THROW(offer.from_json(LR"({"order-offer":{"s-order-id":"2","fine-sum":"много"}})"), json::type_error);
    EXPECT_EQ(offer.s_order_id, L"1");
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
