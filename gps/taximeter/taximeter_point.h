// A location kept by the taximeter, with the figures that the accumulation stores at it.
#pragma once

#include "gps/location.h"

#include <cmath>
#include <cstdint>

namespace zel::gps {

struct taximeter_point : location {
    uint8_t inclusion_used = 0;      // the included distance or time was used up at or before this point
    uint8_t cap_reached = 0;         // the time cost had reached the cap before this point's stretch
    uint64_t time_since_start = 0;   // ms: delivery time minus the taximeter's start time
    float distance_at_point = 0.0f;  // metres from the first kept point
    float time_cost_at_point = 0.0f; // time cost accumulated up to here
    float distance_cost_at_point = 0.0f;
    uint8_t split = 0; // this point's stretch was split between distance and time by speed

    // Distance to the next point, remembered with that point's position so that a later walk of the ride
    // does not compute it again (taximeter::cached_distance); never saved.
    double next_distance = -1.0;
    double next_latitude = 0.0;
    double next_longitude = 0.0;
};

// Every figure the taximeter reads from a location is a number. A NaN latitude passed the other tests and
// priced the stretch to it as half the earth; a NaN speed made every later total NaN, in the dump as well.
inline bool location_is_finite(const location& point) {
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) && std::isfinite(point.speed) &&
           std::isfinite(point.accuracy);
}

// A place on the earth: a latitude beyond a pole or a longitude beyond the date line, from whatever source,
// would price the stretch to it as thousands of kilometres.
inline bool location_in_range(const location& point) {
    return std::fabs(point.latitude) <= 90.0 && std::fabs(point.longitude) <= 180.0;
}

// Accurate enough to keep: finite, on the earth, accuracy at most 7.0 and a latitude (a point that was never
// filled fails).
inline bool point_is_valid(const location& point) {
    return location_is_finite(point) && location_in_range(point) && point.accuracy <= 7.0f && point.latitude != 0.0;
}

// |a - b| of the delivery times, in milliseconds.
inline double point_ms_apart(const location& a, const location& b) {
    return static_cast<double>(a.delivery_time > b.delivery_time ? a.delivery_time - b.delivery_time
                                                                 : b.delivery_time - a.delivery_time);
}

} // namespace zel::gps
