// The ".trk" track file: one or more batches back to back, each a 10-byte header (8 zero bytes, the count of
// points as 16-bit little-endian) followed by one 30-byte record per point, big-endian:
//
//   0  4  latitude x 10^7        13 2  accuracy x 10          25 1  satellites
//   4  4  longitude x 10^7       15 2  accuracy x 10 again    26 2  course in degrees
//   8  4  altitude in metres     17 8  GPS time, ms           28 1  the constant 2
//  12  1  speed in km/h (low 8 bits)                          29 1  flag (2 with a current order)
//
// Decimal values are truncated toward zero. A second batch of the same second is appended to the same file.
#pragma once

#include "gps/location.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel::gps {

inline constexpr size_t track_header_size = 10;
inline constexpr size_t track_record_size = 30;
// A header counts at most this many points.
inline constexpr size_t track_batch_max = 0xFFFF;

// One point record as stored.
struct track_record {
    int32_t latitude = 0;  // degrees x 10^7
    int32_t longitude = 0; // degrees x 10^7
    int32_t altitude = 0;  // metres
    uint8_t speed = 0;     // km/h, low 8 bits
    int16_t accuracy = 0;  // x 10
    int16_t accuracy_again = 0;
    uint64_t gps_time = 0; // ms since 1970
    uint8_t satellites = 0;
    uint16_t course = 0;
    uint8_t kind = 2;
    uint8_t flag = 0;

    bool operator==(const track_record&) const = default;
};

track_record to_track_record(const location& point);

// One batch: the header and the records of the points in order. At most track_batch_max points are taken.
std::string encode_track_batch(const std::vector<location>& points);
std::string encode_track_batch(const std::vector<track_record>& records);

// Splits a file's bytes into its batches. False, with a reason in error, when a header is not 8 zero bytes or
// the bytes end inside a header or a record; batches read before the fault are kept in batches.
bool read_track_file(std::string_view bytes, std::vector<std::vector<track_record>>& batches, std::string& error);

} // namespace zel::gps
