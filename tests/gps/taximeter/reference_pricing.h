// The taximeter's pricing written the plain way, as the tests' yardstick: moving time by the recursive
// definition, and the accumulation as one walk over the whole ride.
#pragma once

#include "gps/taximeter/geo_distance.h"
#include "gps/taximeter/taximeter_point.h"
#include "gps/taximeter/time_interval.h"
#include "tests/gps/taximeter/taximeter_fixture.h"

#include <cstdint>
#include <vector>

namespace zel::gps::testing {

// An interval must share at least 100 ms with [t1, t2] to cut it.
inline uint64_t recursive_active(const std::vector<time_interval>& pauses, uint64_t t1, uint64_t t2) {
    for (const time_interval& p : pauses) {
        if (interval_overlap_ms(p, t1, t2) >= 100) {
            uint64_t result = 0;
            if (p.begin > t1 + 100) {
                result = recursive_active(pauses, t1, p.begin);
            }
            if (p.end < t2 - 100) {
                result += recursive_active(pauses, p.end, t2);
            }
            return result;
        }
    }
    return t2 - t1;
}

inline uint64_t recursive_moving(const std::vector<time_interval>& downtime, const std::vector<time_interval>& pauses,
                                 uint64_t t1, uint64_t t2) {
    if (t2 < t1 + 100) {
        return 0;
    }
    for (const time_interval& d : downtime) {
        if (interval_overlap_ms(d, t1, t2) >= 100) {
            uint64_t result = 0;
            if (d.begin > t1 + 100) {
                result = recursive_moving(downtime, pauses, t1, d.begin);
            }
            if (d.end < t2 - 100) {
                result += recursive_moving(downtime, pauses, d.end, t2);
            }
            return result;
        }
    }
    return recursive_active(pauses, t1, t2);
}

struct reference_ride {
    std::vector<taximeter_point> points; // with the figures of every point after the first
    double distance = 0.0;
    double charged_distance = 0.0;
    double charged_seconds = 0.0;
};

// The kept points priced from the first stretch on: the distance, then the share of each stretch charged by
// distance and by time once the included distance or time is used up, until the time cost reaches its cap.
inline reference_ride reference_accumulation(std::vector<taximeter_point> points, uint64_t start_time,
                                             const std::vector<time_interval>& downtime,
                                             const std::vector<time_interval>& pauses, const tariff_recipe& t) {
    auto time_cost = [&t](double seconds) {
        const double raw = seconds * (1.0 / 60.0) * t.per_minute;
        return t.cap < 0.0f ? raw : t.cap == 0.0f ? 0.0 : (raw <= t.cap ? raw : static_cast<double>(t.cap));
    };
    auto inclusion_used = [&](double metres, uint64_t at) {
        const uint64_t minutes = at > start_time ? (at - start_time) / 1000 / 60 : 0;
        return (t.included_minutes == 0.0f && t.included_km == 0.0f) ||
               (t.included_km != 0.0f && t.included_km <= metres * 0.001) ||
               (t.included_minutes != 0.0f && t.included_minutes <= static_cast<double>(minutes));
    };

    reference_ride ride;
    double time_cost_sum = 0.0;
    uint8_t used = 0;
    uint8_t capped_once = 0;
    if (!points.empty()) {
        const float s0 =
            static_cast<float>(recursive_moving(downtime, pauses, start_time, points.front().delivery_time) / 1000);
        if (s0 >= t.included_minutes * 60.0 && t.included_minutes > 0.0f) {
            used = 1;
            ride.charged_seconds = s0 - t.included_minutes * 60.0;
            time_cost_sum = time_cost(ride.charged_seconds);
        }
    }
    for (size_t i = 1; i < points.size(); ++i) {
        taximeter_point& to = points[i];
        const double d = geo_distance(points[i - 1], to);
        const float s = static_cast<float>(recursive_moving(downtime, pauses, points[i - 1].delivery_time,
                                                            to.delivery_time) /
                                           1000);
        ride.distance += d;
        uint8_t split = 0;
        if (inclusion_used(ride.distance, to.delivery_time)) {
            used = 1;
            const bool capped = t.cap >= 0.0f && time_cost_sum >= t.cap;
            capped_once |= capped ? 1 : 0;
            if (t.per_km > 0.0f && t.per_minute > 0.0f) {
                if (to.speed >= static_cast<float>(t.speed_limit) || capped) {
                    ride.charged_distance += d;
                } else {
                    split = 1;
                    const float r = t.speed_limit != 0 ? to.speed / static_cast<float>(t.speed_limit) : 0.0f;
                    ride.charged_distance += r * d;
                    ride.charged_seconds += (1.0f - r) * s;
                    time_cost_sum = time_cost(ride.charged_seconds);
                }
            } else {
                ride.charged_distance += d;
                ride.charged_seconds += s;
                time_cost_sum = time_cost(ride.charged_seconds);
            }
        }
        to.time_since_start = to.delivery_time > start_time ? to.delivery_time - start_time : 0;
        to.inclusion_used = used;
        to.cap_reached = capped_once;
        to.split = split;
        to.distance_at_point = static_cast<float>(ride.distance);
        to.time_cost_at_point = static_cast<float>(time_cost_sum);
        to.distance_cost_at_point = static_cast<float>(t.per_km * ride.charged_distance * 0.001);
    }
    ride.points = std::move(points);
    return ride;
}

} // namespace zel::gps::testing
