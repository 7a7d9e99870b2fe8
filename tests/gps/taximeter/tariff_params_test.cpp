#include "gps/taximeter/tariff_params.h"

#include <gtest/gtest.h>

namespace zel::gps {
namespace {

TEST(tariff_params, new_is_all_zero_and_clone_is_independent) {
    tariff_params tariff;
    EXPECT_EQ(tariff.base_price(), 0.0f);
    EXPECT_EQ(tariff.speed_limit(), 0);
    EXPECT_EQ(tariff.time_cost_cap(), 0.0f);

    tariff.set_base_price(100.0f);
    tariff.set_included_distance(3.0f);
    tariff.set_included_time(10.0f);
    tariff.set_price_per_km(15.5f);
    tariff.set_price_per_minute(4.0f);
    tariff.set_speed_limit(20);
    tariff.set_time_cost_cap(-1.0f);
    tariff.set_downtime_price(2.5f);

    std::unique_ptr<tariff_interface> copy = tariff.clone();
    EXPECT_EQ(copy->base_price(), 100.0f);
    EXPECT_EQ(copy->included_distance(), 3.0f);
    EXPECT_EQ(copy->included_time(), 10.0f);
    EXPECT_EQ(copy->price_per_km(), 15.5f);
    EXPECT_EQ(copy->price_per_minute(), 4.0f);
    EXPECT_EQ(copy->speed_limit(), 20);
    EXPECT_EQ(copy->time_cost_cap(), -1.0f);
    EXPECT_EQ(copy->downtime_price(), 2.5f);

    copy->set_base_price(1.0f);
    copy->set_speed_limit(60);
    EXPECT_EQ(tariff.base_price(), 100.0f);
    EXPECT_EQ(tariff.speed_limit(), 20);
}

} // namespace
} // namespace zel::gps
