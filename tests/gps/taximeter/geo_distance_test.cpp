#include "gps/taximeter/geo_distance.h"

#include <gtest/gtest.h>

namespace zel::gps {
namespace {

location at(double latitude, double longitude) {
    location l;
    l.latitude = latitude;
    l.longitude = longitude;
    return l;
}

TEST(geo_distance, uses_the_designs_sphere) {
    EXPECT_EQ(geo_distance(at(55.75, 37.62), at(55.75, 37.62)), 0.0);
    EXPECT_NEAR(geo_distance(at(10.0, 20.0), at(11.0, 20.0)), 6372795.0 * 0.017453292519943295, 1e-6);
    EXPECT_NEAR(geo_distance(at(0, 0), at(0, 180)), 6372795.0 * 3.141592653589793, 1e-3);
    const std::pair<location, location> pairs[] = {
        {at(55.75, 37.62), at(59.93, 30.31)}, {at(-33.9, 151.2), at(51.5, -0.12)}, {at(0.0, 179.9), at(0.0, -179.9)}};
    for (const auto& [a, b] : pairs) {
        EXPECT_DOUBLE_EQ(geo_distance(a, b), geo_distance(b, a));
    }
    EXPECT_NEAR(geo_distance(at(0.0, 179.9), at(0.0, -179.9)), 0.2 * 6372795.0 * 0.017453292519943295, 1e-3);
}

} // namespace
} // namespace zel::gps
