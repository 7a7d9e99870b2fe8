#include "gps/taximeter/geo_distance.h"

#include <cmath>

namespace zel::gps {

double geo_distance(const location& a, const location& b) {
    constexpr double to_radians = 0.017453292519943295;
    constexpr double earth_radius = 6372795.0;
    const double lat1 = a.latitude * to_radians;
    const double lat2 = b.latitude * to_radians;
    const double lon1 = a.longitude * to_radians;
    const double lon2 = b.longitude * to_radians;
    const double s_lat = std::sin((lat2 - lat1) / 2);
    const double s_lon = std::sin((lon1 - lon2) / 2);
    const double h = s_lat * s_lat + std::cos(lat1) * std::cos(lat2) * s_lon * s_lon;
    return 2 * std::asin(std::sqrt(std::min(1.0, h))) * earth_radius;
}

} // namespace zel::gps
