#include "api/bill_record.h"

#include <gtest/gtest.h>

namespace zel_api {
namespace {

TEST(bill_record, a_new_record_holds_its_order_id_and_zeros) {
    bill_record bill(L"3001");
    EXPECT_EQ(bill.order_id(), L"3001");
    EXPECT_EQ(bill.tariff_mode_ref(), 0);
    EXPECT_EQ(bill.distance_ref(), 0.0f);
    EXPECT_EQ(bill.taximeter_cost_ref(), 0.0f);
    EXPECT_EQ(bill.total_ref(), 0.0f);
    EXPECT_EQ(bill.trip_seconds_ref(), 0);
    EXPECT_EQ(bill.downtime_seconds_ref(), 0);
    EXPECT_EQ(bill.distance_cost(), 0.0f);
    EXPECT_EQ(bill.time_cost(), 0.0f);
    EXPECT_EQ(bill.downtime_cost(), 0.0f);
    EXPECT_EQ(bill.base_price(), 0.0f);
    EXPECT_EQ(bill.last_word_ref(), 0);
}

TEST(bill_record, setters_store_each_value_in_its_own_field) {
    bill_record bill(L"3001");
    bill.set_tariff_mode(3);
    bill.set_distance(12345.5f);
    bill.set_taximeter_cost(310.5f);
    bill.set_total(320.0f);
    bill.set_trip_seconds(1800);
    bill.set_downtime_seconds(240);
    bill.set_distance_cost(120.5f);
    bill.set_time_cost(60.0f);
    bill.set_downtime_cost(12.0f);
    bill.set_base_price(99.5f);
    EXPECT_EQ(bill.tariff_mode_ref(), 3);
    EXPECT_EQ(bill.distance_ref(), 12345.5f);
    EXPECT_EQ(bill.taximeter_cost_ref(), 310.5f);
    EXPECT_EQ(bill.total_ref(), 320.0f);
    EXPECT_EQ(bill.trip_seconds_ref(), 1800);
    EXPECT_EQ(bill.downtime_seconds_ref(), 240);
    EXPECT_EQ(bill.distance_cost(), 120.5f);
    EXPECT_EQ(bill.time_cost(), 60.0f);
    EXPECT_EQ(bill.downtime_cost(), 12.0f);
    EXPECT_EQ(bill.base_price(), 99.5f);
    EXPECT_EQ(bill.last_word_ref(), 0);

    // The close-order-parameters screen corrects values in place through the references.
    bill.total_ref() = 400.0f;
    bill.downtime_seconds_ref() = 300;
    EXPECT_EQ(bill.total_ref(), 400.0f);
    EXPECT_EQ(bill.downtime_seconds_ref(), 300);
}

} // namespace
} // namespace zel_api
