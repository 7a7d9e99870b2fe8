// The taximeter's pricing: moving time outside downtime and pauses, the inclusion test, the accumulation over
// the kept points and the cost computation. Every function here runs under the state lock.
#include "gps/taximeter/taximeter.h"

#include "gps/taximeter/taximeter_time.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zel::gps {

namespace {

using guard = std::lock_guard<std::recursive_mutex>;

// Overlaps shorter than this do not cut a stretch, and pieces this short beside a cut are dropped.
constexpr uint64_t tolerance_ms = 100;

uint64_t plus_tolerance(uint64_t t) {
    return t > UINT64_MAX - tolerance_ms ? UINT64_MAX : t + tolerance_ms;
}

// Milliseconds of [t1, t2] outside the intervals. The first interval (in list order) that shares at least
// 100 ms with a piece cuts it; each remainder longer than 100 ms is measured the same way, and a piece that
// no interval cuts counts as inner(piece). The pieces wait on a work list: recursion, as first designed, could
// not end on an interval reversed by a clock set back, and such intervals now count as empty.
template <typename Inner>
uint64_t uncut_ms(const std::vector<time_interval>& intervals, uint64_t t1, uint64_t t2, const Inner& inner) {
    auto first_cut = [&intervals](uint64_t a, uint64_t b) -> const time_interval* {
        for (const time_interval& interval : intervals) {
            if (interval_overlap_ms(interval, a, b) >= tolerance_ms) {
                return &interval;
            }
        }
        return nullptr;
    };
    const time_interval* cut = first_cut(t1, t2);
    if (cut == nullptr) {
        return inner(t1, t2); // the usual case: no allocation
    }
    uint64_t total = 0;
    std::vector<std::pair<uint64_t, uint64_t>> pieces{{t1, t2}};
    while (!pieces.empty()) {
        const auto [a, b] = pieces.back();
        pieces.pop_back();
        cut = first_cut(a, b);
        if (cut == nullptr) {
            total += inner(a, b);
            continue;
        }
        // A cut shares 100 ms or more with [a, b], so both remainders are shorter than [a, b]: the list ends.
        if (cut->begin > plus_tolerance(a)) {
            pieces.emplace_back(a, cut->begin);
        }
        if (plus_tolerance(cut->end) < b) {
            pieces.emplace_back(cut->end, b);
        }
    }
    return total;
}

} // namespace

uint64_t taximeter::moving_ms(uint64_t t1, uint64_t t2) const {
    guard downtime(downtime_lock_);
    if (t2 < plus_tolerance(t1)) {
        return 0;
    }
    return uncut_ms(downtime_, t1, t2, [this](uint64_t a, uint64_t b) { return active_ms(a, b); });
}

uint64_t taximeter::active_ms(uint64_t t1, uint64_t t2) const {
    guard pauses(pause_lock_);
    return uncut_ms(pauses_, t1, t2, [](uint64_t a, uint64_t b) { return ms_since(a, b); });
}

namespace {

// The included distance (km) or time (minutes) is used up; with neither, from the start.
bool inclusion_test(float included_distance, float included_time, double metres, uint64_t minutes) {
    if (included_time == 0.0f && included_distance == 0.0f) {
        return true;
    }
    if (included_distance != 0.0f && included_distance <= metres * 0.001) {
        return true;
    }
    return included_time != 0.0f && included_time <= static_cast<double>(minutes);
}

} // namespace

bool taximeter::inclusion_used_at(const tariff_values& tariff, double metres, uint64_t time) const {
    // Clock minutes since the start: downtime and pauses count.
    return inclusion_test(tariff.included_distance, tariff.included_time, metres,
                          ms_since(start_time_, time) / 1000 / 60);
}

bool taximeter::inclusion_used(const tariff_values& tariff) const {
    return inclusion_test(tariff.included_distance, tariff.included_time, distance_, seconds_since_start() / 60);
}

double taximeter::time_cost(const tariff_values& tariff, double seconds) {
    const double raw = seconds * (1.0 / 60.0) * tariff.price_per_minute;
    const float cap = tariff.time_cost_cap;
    if (cap < 0.0f) {
        return raw;
    }
    if (cap == 0.0f) {
        return 0.0;
    }
    return raw <= cap ? raw : cap;
}

float taximeter::downtime_cost(uint64_t paid_seconds, float price_per_minute) {
    return static_cast<float>(paid_seconds) * price_per_minute * (1.0f / 60.0f);
}

void taximeter::accumulate(const tariff_values& tariff) {
    guard points(points_lock_);
    if (!(tariff == sums_tariff_) || start_time_ != sums_start_time_) {
        sums_.clear();
        sums_tariff_ = tariff;
        sums_start_time_ = start_time_;
    }
    if (sums_.size() > points_.size()) {
        sums_.resize(points_.size());
    }

    const double included_seconds = tariff.included_time * 60.0;
    const float cap = tariff.time_cost_cap;
    const bool priced_both_ways = tariff.price_per_km > 0.0f && tariff.price_per_minute > 0.0f;

    // The stretch before the first point: with no included time it is not charged.
    auto initial_sums = [&](uint64_t initial_ms) {
        running_sums sums;
        const float initial_seconds = static_cast<float>(initial_ms / 1000);
        if (initial_seconds >= included_seconds && tariff.included_time > 0.0f) {
            sums.inclusion_used = 1;
            sums.charged_seconds = initial_seconds - included_seconds;
            sums.time_cost = time_cost(tariff, sums.charged_seconds);
        }
        return sums;
    };

    running_sums sums;
    if (points_.empty()) {
        sums = initial_sums(last_point_time_ != 0 ? moving_ms(start_time_, last_point_time_) : 0);
    } else {
        if (sums_.empty()) {
            running_sums first = initial_sums(moving_ms(start_time_, points_.front().delivery_time));
            first.latest_time = points_.front().delivery_time;
            sums_.push_back(first);
        }
        sums = sums_.back();
        for (size_t i = sums_.size(); i < points_.size(); ++i) {
            taximeter_point& from = points_[i - 1];
            taximeter_point& to = points_[i];
            const double metres = cached_distance(from, to);
            const float seconds = static_cast<float>(moving_ms(from.delivery_time, to.delivery_time) / 1000);
            sums.distance += metres;
            uint8_t split = 0;
            if (inclusion_used_at(tariff, sums.distance, to.delivery_time)) {
                sums.inclusion_used = 1;
                const bool capped = cap >= 0.0f && sums.time_cost >= cap;
                if (capped) {
                    sums.cap_reached = 1;
                }
                if (priced_both_ways) {
                    if (to.speed >= static_cast<float>(tariff.speed_limit) || capped) {
                        sums.charged_distance += metres;
                    } else {
                        // Below the speed limit the stretch is shared: r of it by distance, the rest by time.
                        split = 1;
                        const float r =
                            tariff.speed_limit != 0 ? to.speed / static_cast<float>(tariff.speed_limit) : 0.0f;
                        sums.charged_distance += r * metres;
                        sums.charged_seconds += (1.0f - r) * seconds;
                        sums.time_cost = time_cost(tariff, sums.charged_seconds);
                    }
                } else {
                    sums.charged_distance += metres;
                    sums.charged_seconds += seconds;
                    sums.time_cost = time_cost(tariff, sums.charged_seconds);
                }
            }
            sums.latest_time = std::max(sums.latest_time, to.delivery_time);
            sums_.push_back(sums);
            to.time_since_start = ms_since(start_time_, to.delivery_time);
            to.inclusion_used = sums.inclusion_used;
            to.cap_reached = sums.cap_reached;
            to.distance_at_point = static_cast<float>(sums.distance);
            to.time_cost_at_point = static_cast<float>(sums.time_cost);
            to.distance_cost_at_point = static_cast<float>(tariff.price_per_km * sums.charged_distance * 0.001);
            to.split = split;
        }
    }

    distance_ = sums.distance;
    charged_seconds_ = sums.charged_seconds;
    accumulated_charged_seconds_ = sums.charged_seconds;
    charged_distance_ = sums.charged_distance;
}

void taximeter::forget_sums_after(uint64_t time) {
    // A stretch [t1, t2] with t2 <= time shares nothing with the changed part of an interval, so its moving
    // time stands; the latest times rise along the list, so the first stretch that may not is found by halves.
    const auto first_touched = std::partition_point(
        sums_.begin(), sums_.end(), [time](const running_sums& sums) { return sums.latest_time <= time; });
    sums_.erase(first_touched, sums_.end());
}

double taximeter::compute_costs(const tariff_values& tariff, uint64_t time) {
    const uint64_t at = time != 0 ? time : now_ms();
    const double included_seconds = tariff.included_time * 60.0;
    const double past_inclusion = static_cast<float>(ms_since(start_time_, at) / 1000) - included_seconds;
    if (last_point_time_ <= start_time_ &&
        (tariff.included_time > 0.0f || (tariff.included_time == 0.0f && tariff.included_distance == 0.0f))) {
        // No location since the start: the moving time past the included minutes.
        if (past_inclusion < 0.0) {
            charged_seconds_ = 0.0;
        } else {
            const uint64_t included_ms = whole_saturated(tariff.included_time * 60000.0);
            const uint64_t from = start_time_ > UINT64_MAX - included_ms ? UINT64_MAX : start_time_ + included_ms;
            charged_seconds_ = static_cast<double>(moving_ms(from, at) / 1000);
        }
    } else if (!inclusion_used_at(tariff, distance_, at)) {
        // Still within the inclusion: nothing charged yet.
    } else if (inclusion_used_at(tariff, distance_, last_point_time_)) {
        charged_seconds_ = accumulated_charged_seconds_ + static_cast<double>(moving_ms(last_point_time_, at) / 1000);
    } else {
        // The included time ran out after the last point.
        const double since_last = static_cast<double>(moving_ms(last_point_time_, at) / 1000);
        if (past_inclusion > since_last) {
            charged_seconds_ = accumulated_charged_seconds_ + past_inclusion - since_last;
        }
    }
    compute_cost_parts(tariff);
    double total = tariff.base_price + time_cost_ + distance_cost_;

    paid_downtime_seconds_ = 0;
    {
        guard downtime(downtime_lock_);
        for (const time_interval& interval : downtime_) {
            // Two minutes or more are paid whole from the begin; a shorter downtime not at all.
            const uint64_t length = ms_since(interval.begin, interval.end);
            if (length >= 120000) {
                paid_downtime_seconds_ += length / 1000;
            }
        }
    }
    total += downtime_cost(paid_downtime_seconds_, tariff.downtime_price);
    return total;
}

void taximeter::compute_cost_parts(const tariff_values& tariff) {
    if (!inclusion_used(tariff)) {
        return;
    }
    if (charged_distance_ >= 0.0) {
        distance_cost_ = tariff.price_per_km * charged_distance_ * 0.001;
    }
    time_cost_ = time_cost(tariff, charged_seconds_);
}

} // namespace zel::gps
