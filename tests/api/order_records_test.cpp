#include "api/command/received/odel.h"
#include "api/command/received/order.h"
#include "api/command/received/order_offer.h"
#include "api/command/received/order_offer_cancel.h"
#include "api/command/received/order_offer_timeout.h"
#include "api/json/type_error.h"
#include "fixture.h"

#include <gtest/gtest.h>

namespace zel_api::command {
namespace {

using test::parse_fixture;

TEST(order_record, full_fixture_fills_every_field) {
    const order o = parse_fixture<order>("order_full");
    EXPECT_EQ(o.s_id, L"1001");
    EXPECT_EQ(o.l_type, order::list_current);
    EXPECT_EQ(o.af.t, L"ул. Ленина, 10 {подъезд 2}");
    EXPECT_EQ(o.af.tx, L"у аптеки");
    ASSERT_EQ(o.at.size(), 2u);
    EXPECT_EQ(o.at[0].t, L"Аэропорт");
    EXPECT_EQ(o.at[0].tx, L"терминал B");
    EXPECT_EQ(o.at[1].t, L"пр. Мира, 5");
    EXPECT_EQ(o.i, L"Детское кресло");
    EXPECT_EQ(o.tt, 1700000000000);
    EXPECT_EQ(o.ttp, 1);
    EXPECT_EQ(o.s, 8);
    EXPECT_EQ(o.sms, 1);
    EXPECT_EQ(o.cc, 2);
    EXPECT_EQ(o.ccs, 3);
    EXPECT_EQ(o.cts, 10.5f);
    EXPECT_EQ(o.trade, true);
    EXPECT_EQ(o.icl, 1);
    EXPECT_EQ(o.st, 7);
    EXPECT_EQ(o.s_tid, L"T-15");
    EXPECT_EQ(o.lcst, 1699999999000);
    EXPECT_EQ(o.of, 34u);
    EXPECT_EQ(o.msum, 250.0f);
    EXPECT_EQ(o.star, 4);
    EXPECT_EQ(o.client_phone, L"+79001234567");
    EXPECT_EQ(o.dist_to_driver, 1500);
    EXPECT_EQ(o.dist_to_driver_type, 2);
    EXPECT_EQ(o.osid, 5);
    ASSERT_TRUE(o.dt);
    EXPECT_EQ(o.dt->mc, 150.5);
    EXPECT_EQ(o.dt->p, 12.0);
    ASSERT_TRUE(o.dct);
    EXPECT_EQ(o.dct->n_ref(), L"Город");
    EXPECT_EQ(o.dct->cdu_ref(), 15.5f);
    EXPECT_EQ(o.dct->cdtu_ref(), 3.0f);
    EXPECT_EQ(o.dct->ctu_ref(), 4.25f);
    EXPECT_EQ(o.dct->cp_ref(), 10.0f);
    EXPECT_EQ(o.dct->dp_ref(), 1.0f);
    EXPECT_EQ(o.dct->pd_ref(), 3.0f);
    EXPECT_EQ(o.dct->pt_ref(), 10.0f);
    EXPECT_EQ(o.dct->p_ref(), 100.0f);
    ASSERT_TRUE(o.cct);
    EXPECT_EQ(o.cct->n_ref(), L"Безнал");
    EXPECT_EQ(o.cct->p_ref(), 120.0f);
    EXPECT_EQ(o.cct->cdu_ref(), 0.0f);
}

TEST(order_record, minimal_fixture_leaves_the_rest_absent) {
    const order o = parse_fixture<order>("order_min");
    EXPECT_EQ(o.s_id, L"1002");
    EXPECT_EQ(o.l_type, order::list_general);
    EXPECT_TRUE(o.af.t.empty() && o.af.tx.empty() && o.at.empty() && o.i.empty() && o.s_tid.empty());
    EXPECT_FALSE(o.tt || o.ttp || o.s || o.sms || o.cc || o.ccs || o.cts || o.trade || o.icl || o.st || o.lcst ||
                 o.of || o.msum || o.star || o.client_phone || o.dist_to_driver || o.dist_to_driver_type || o.osid ||
                 o.dt || o.dct || o.cct);
}

order parse_order(const std::wstring& fields) {
    order o;
    o.from_json(L"{\"order\":{" + fields + L"}}");
    return o;
}

TEST(order_record, member_rules) {
    EXPECT_FALSE(parse_order(L"\"msum\":null").msum);
    EXPECT_EQ(parse_order(L"\"msum\":0").msum, 0.0f);
    EXPECT_EQ(parse_order(L"\"trade\":0").trade, false);
    EXPECT_THROW(parse_order(L"\"trade\":true"), json::type_error);
    EXPECT_THROW(parse_order(L"\"s\":null"), json::type_error);
    EXPECT_THROW(parse_order(L"\"s\":8.0"), json::type_error);
    EXPECT_EQ(parse_order(L"\"cts\":3").cts, 3.0f);
    EXPECT_EQ(parse_order(L"\"l-type\":4294967300").l_type, 4);
    EXPECT_EQ(parse_order(L"\"of\":18446744073709551615").of, 18446744073709551615u);
    EXPECT_EQ(parse_order(L"\"s-id\":\"a\",\"s-id\":\"b\"").s_id, L"b");
    EXPECT_EQ(parse_order(L"\"x\":[{}],\"s-id\":\"a\",\"y\":null").s_id, L"a");

    const order twice = parse_order(L"\"at\":[{\"t\":\"a\"},{\"t\":\"b\"}],\"at\":[{\"t\":\"c\"}]");
    ASSERT_EQ(twice.at.size(), 1u);
    EXPECT_EQ(twice.at[0].t, L"c");
    EXPECT_THROW(parse_order(L"\"at\":[\"x\"]"), json::type_error);
}

TEST(order_record, rate_blocks_stop_quietly_and_keep_what_they_read) {
    const order o = parse_order(L"\"dct\":{\"p\":100,\"cdu\":\"x\",\"pt\":5},\"dt\":{\"mc\":2,\"p\":[]},"
                                L"\"cct\":7,\"s-id\":\"9\"");
    ASSERT_TRUE(o.dct);
    EXPECT_EQ(o.dct->p_ref(), 100.0f);
    EXPECT_EQ(o.dct->pt_ref(), 0.0f);
    ASSERT_TRUE(o.dt);
    EXPECT_EQ(o.dt->mc, 2.0);
    EXPECT_EQ(o.dt->p, 0.0);
    ASSERT_TRUE(o.cct);
    EXPECT_EQ(o.cct->p_ref(), 0.0f);
    EXPECT_EQ(o.s_id, L"9"); // the order goes on after the blocks

    const order only_p = parse_order(L"\"dct\":{\"p\":50}");
    EXPECT_EQ(only_p.dct->n_ref(), L"");
    EXPECT_EQ(only_p.dct->cdu_ref() + only_p.dct->cdtu_ref() + only_p.dct->ctu_ref() + only_p.dct->cp_ref() +
                  only_p.dct->dp_ref() + only_p.dct->pd_ref() + only_p.dct->pt_ref(),
              0.0f);
}

TEST(tariff_rate, is_the_taximeter_tariff) {
    const order o = parse_fixture<order>("order_full");
    const zel::gps::tariff_interface& tariff = *o.dct;
    EXPECT_EQ(tariff.base_price(), 100.0f);
    EXPECT_EQ(tariff.included_distance(), 3.0f);
    EXPECT_EQ(tariff.included_time(), 10.0f);
    EXPECT_EQ(tariff.price_per_km(), 15.5f);
    EXPECT_EQ(tariff.price_per_minute(), 4.25f);
    EXPECT_EQ(tariff.downtime_price(), 3.0f);
    EXPECT_EQ(tariff.speed_limit(), 20);
    EXPECT_EQ(tariff.time_cost_cap(), -1.0f);

    std::unique_ptr<zel::gps::tariff_interface> copy = tariff.clone();
    copy->set_speed_limit(60);
    copy->set_time_cost_cap(5.0f);
    EXPECT_EQ(copy->speed_limit(), 20);
    EXPECT_EQ(copy->time_cost_cap(), -1.0f);
    EXPECT_EQ(copy->price_per_minute(), 4.25f);
    const auto& rates = dynamic_cast<const tariff_rate&>(*copy);
    EXPECT_EQ(rates.n_ref(), L"");
    EXPECT_EQ(rates.cp_ref(), 10.0f);
    EXPECT_EQ(rates.dp_ref(), 1.0f);

    copy->set_base_price(1.0f);
    copy->set_included_distance(2.0f);
    copy->set_included_time(3.0f);
    copy->set_price_per_km(4.0f);
    copy->set_price_per_minute(5.0f);
    copy->set_downtime_price(6.0f);
    EXPECT_EQ(rates.p_ref() + rates.pd_ref() + rates.pt_ref() + rates.cdu_ref() + rates.ctu_ref() + rates.cdtu_ref(),
              21.0f);
    EXPECT_EQ(o.dct->p_ref(), 100.0f);
}

TEST(odel_record, fixtures) {
    const odel full = parse_fixture<odel>("odel_full");
    EXPECT_EQ(full.l_type, 1);
    EXPECT_EQ(full.s_ids, (std::vector<std::wstring>{L"1001", L"1002"}));
    const odel minimal = parse_fixture<odel>("odel_min");
    EXPECT_EQ(minimal.l_type, 3);
    EXPECT_TRUE(minimal.s_ids.empty());
}

TEST(order_offer_record, fixtures) {
    const order_offer full = parse_fixture<order_offer>("order_offer_full");
    EXPECT_EQ(full.s_order_id, L"2001");
    EXPECT_EQ(full.deadline_time, 1700000030000);
    EXPECT_EQ(full.comment, L"Срочно}");
    EXPECT_EQ(full.fine_sum, 50.5);
    EXPECT_EQ(full.fine_rating, 2);
    EXPECT_TRUE(full.fineable);
    EXPECT_EQ(full.reward_rating, 3);
    EXPECT_EQ(full.order.s_id, L"2001");
    EXPECT_EQ(full.order.af.t, L"Вокзал");
    EXPECT_EQ(full.order.msum, 300.0f);
    EXPECT_EQ(full.order.dist_to_driver, 2300);

    const order_offer minimal = parse_fixture<order_offer>("order_offer_min");
    EXPECT_EQ(minimal.s_order_id, L"2002");
    EXPECT_EQ(minimal.deadline_time, 0);
    EXPECT_FALSE(minimal.fineable);
    EXPECT_EQ(minimal.fine_sum, 0.0);
    EXPECT_TRUE(minimal.order.s_id.empty());
}

TEST(order_offer_record, nested_order_is_checked_like_an_order) {
    order_offer offer;
    EXPECT_THROW(offer.from_json(LR"({"order-offer":{"order":{"s":"8"}}})"), json::type_error);
    EXPECT_THROW(offer.from_json(LR"({"order-offer":{"order":5}})"), json::type_error);
}

template <class Notice> void check_notice(const std::string& name) {
    const Notice full = parse_fixture<Notice>(name + "_full");
    EXPECT_EQ(full.s_order_id, L"2001");
    EXPECT_FALSE(full.comment.empty());
    const Notice minimal = parse_fixture<Notice>(name + "_min");
    EXPECT_EQ(minimal.s_order_id, L"2002");
    EXPECT_TRUE(minimal.comment.empty());
}

TEST(order_offer_notices, fixtures) {
    check_notice<order_offer_timeout>("order_offer_timeout");
    check_notice<order_offer_cancel>("order_offer_cancel");
    EXPECT_EQ(parse_fixture<order_offer_cancel>("order_offer_cancel_full").comment, L"Клиент отменил заказ");
}

} // namespace
} // namespace zel_api::command
