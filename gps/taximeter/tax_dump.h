// The part of a ride that the taximeter cannot recompute, as saved in "tax_dump.bin": order id, start time,
// kept points and downtime intervals. Everything else is recomputed from these after a restart.
//
// Layout (little-endian, no header):
//   u32 n | n UTF-16 code units: the order id | u64 start time (ms) | u32 P | P points | u32 D | D intervals
//   point (40 bytes): f64 latitude, f64 longitude, f32 speed, f32 accuracy, i32 satellites, i32 course,
//                     u64 delivery time (ms)
//   interval (16 bytes): u64 begin, u64 end (ms)
// Total: 20 + 2n + 40P + 16D bytes.
#pragma once

#include "gps/location.h"
#include "gps/taximeter/time_interval.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::gps {

struct tax_dump {
    std::u16string order_id;
    uint64_t start_time = 0;
    std::vector<location> points; // only the saved fields are filled; the rest as in a new location
    std::vector<time_interval> downtime;

    // Limits of a sane dump: far beyond any ride (two million points are three weeks at one a second).
    static constexpr uint32_t max_order_id_units = 4096;
    static constexpr uint32_t max_points = 2'000'000;
    static constexpr uint32_t max_intervals = 100'000;
    static constexpr uint64_t max_size = 20 + 2ULL * max_order_id_units + 40ULL * max_points + 16ULL * max_intervals;

    std::string encode() const;
    // The dump held by bytes, or nothing (with the reason in error) unless the size is exactly what the
    // counts say, the counts are within the limits and every point's latitude, longitude, speed and accuracy
    // is a finite number.
    static std::optional<tax_dump> decode(std::string_view bytes, std::string* error);
};

} // namespace zel::gps
