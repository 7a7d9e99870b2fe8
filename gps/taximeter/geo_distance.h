// Great-circle distance between two locations (haversine on a sphere of radius 6372795.0 m).
#pragma once

#include "gps/location.h"

namespace zel::gps {

double geo_distance(const location& a, const location& b);

} // namespace zel::gps
