#include "api/command/received/msg.h"
#include "api/command/received/msg_del.h"
#include "api/command/received/sell_shift.h"
#include "api/command/received/shift.h"
#include "api/command/received/shift_del.h"
#include "api/json/type_error.h"
#include "fixture.h"

#include <gtest/gtest.h>

namespace zel_api::command {
namespace {

using test::fixture_object;
using test::parse_fixture;

TEST(shift_records, fixtures) {
    const auto full = parse_fixture<shift>("shift_full");
    EXPECT_EQ(full.id, 31);
    EXPECT_EQ(full.n, L"Дневная");
    EXPECT_EQ(full.c, 500.5f);
    EXPECT_EQ(full.st_dt, 1700000000000);
    EXPECT_EQ(full.dur, 12);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.nsa, 3);
    EXPECT_EQ(full.st_dt_str, L"08:00");
    const auto minimal = parse_fixture<shift>("shift_min");
    EXPECT_EQ(minimal.id, 32);
    EXPECT_FALSE(minimal.c || minimal.st_dt || minimal.dur || minimal.status || minimal.nsa);
    EXPECT_TRUE(minimal.n.empty() && minimal.st_dt_str.empty());
    EXPECT_EQ(shift().id, -1);

    const auto sale = parse_fixture<sell_shift>("sell_shift_full");
    EXPECT_EQ(sale.id_sell, 41);
    EXPECT_EQ(sale.id_shift, 31);
    EXPECT_EQ(sale.st_dt, 1700000000000);
    EXPECT_EQ(sale.status, 2);
    const auto sale_min = parse_fixture<sell_shift>("sell_shift_min");
    EXPECT_EQ(sale_min.id_sell, 42);
    EXPECT_FALSE(sale_min.id_shift || sale_min.st_dt || sale_min.status);
    EXPECT_EQ(sell_shift().id_sell, -1);

    const auto del = parse_fixture<shift_del>("shift_del_full");
    EXPECT_EQ(del.ids, (std::vector<int64_t>{31, 32}));
    EXPECT_EQ(del.sell_ids, (std::vector<int64_t>{41}));
    const auto del_min = parse_fixture<shift_del>("shift_del_min");
    EXPECT_TRUE(del_min.ids.empty() && del_min.sell_ids.empty());
}

TEST(shift_record, only_the_start_time_takes_null_as_absent) {
    shift s;
    s.from_json(LR"({"shift":{"st-dt":null,"st-dt-str":null}})");
    EXPECT_FALSE(s.st_dt);
    EXPECT_TRUE(s.st_dt_str.empty());
    EXPECT_THROW(s.from_json(LR"({"shift":{"st-dt":"08:00"}})"), json::type_error);
    EXPECT_THROW(s.from_json(LR"({"shift":{"dur":null}})"), json::type_error);
    sell_shift sale;
    EXPECT_THROW(sale.from_json(LR"({"sell-shift":{"st-dt":null}})"), json::type_error);
}

TEST(msg_record, fixtures) {
    const auto full = parse_fixture<msg>("msg_full");
    EXPECT_EQ(full.id, 51);
    EXPECT_EQ(full.txt, L"Проверка {связи} \nЗавтра \"акция\" \nконец");
    EXPECT_EQ(full.s, 1);
    const auto minimal = parse_fixture<msg>("msg_min");
    EXPECT_EQ(minimal.id, 52);
    EXPECT_EQ(minimal.txt, L"Добрый день");
    EXPECT_EQ(minimal.s, 0);

    const auto del = parse_fixture<msg_del>("msg_del_full");
    EXPECT_EQ(del.ids, (std::vector<uint64_t>{51, 52, 18446744073709551615u}));
    EXPECT_TRUE(parse_fixture<msg_del>("msg_del_min").ids.empty());
}

TEST(msg_record, line_ends_are_normalised) {
    const struct {
        const wchar_t* text;
        const wchar_t* held;
    } cases[] = {
        {LR"({"msg":{"txt":"x\r\ny"}})", L"x \ny"},
        {LR"({"msg":{"txt":"\r\r\r"}})", L""},
        {LR"({"msg":{"txt":"a\nb\n"}})", L"a \nb \n"},
        {LR"({"msg":{"txt":"a","txt":"b"}})", L"ab"},
    };
    for (const auto& c : cases) {
        msg m;
        m.from_json(c.text);
        EXPECT_EQ(m.txt, c.held) << c.text;
    }
}

// The store merges a message it already holds by parsing the new text into it: a re-sent message must not
// double its text.
TEST(msg_record, a_resent_message_keeps_one_copy_of_its_text) {
    msg held = parse_fixture<msg>("msg_min");
    held.from_json(fixture_object("msg_min"));
    held.from_json(fixture_object("msg_min"));
    EXPECT_EQ(held.txt, L"Добрый день");
    held.from_json(LR"({"msg":{"id":52,"s":3}})");
    EXPECT_EQ(held.txt, L"Добрый день");
    EXPECT_EQ(held.s, 3);
}

TEST(msg_del_record, a_string_id_fails_and_adds_nothing) {
    msg_del del;
    EXPECT_THROW(del.from_json(LR"({"msg-del":{"ids":[1,2,"3"]}})"), json::type_error);
    EXPECT_TRUE(del.ids.empty());
}

} // namespace
} // namespace zel_api::command
