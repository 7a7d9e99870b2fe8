// The GPS device's reading, as its source last gave it.
#pragma once

#include <cstdint>

namespace zel::gps {

struct gps_fix {
    uint8_t valid = 0;     // 1 when the last read produced a reading
    uint64_t stamp = 0;    // unique_stamp_ms at the read
    uint64_t gps_time = 0; // UTC of the reading in ms since 1970 (whole seconds x 1000); 0 from the serial source
    double longitude = 0.0;
    double latitude = 0.0;
    double altitude = 0.0;  // metres above sea level
    int32_t satellites = 0; // satellites used
    float pdop = 50.0f;     // 50.0 when none is known
    float hdop = 50.0f;     // 50.0 when none is known
    double speed = 0.0;     // km/h
    uint8_t fix = 0;        // 1 when the source reports a position fix
    uint8_t fix_3d = 0;     // 1 when the fix is three-dimensional
};

// A source that has said nothing new for this long has no fix: a silent or unplugged receiver, or a gpsd that
// died, would otherwise hand its last position on as fresh for ever.
constexpr uint32_t fix_max_age_ms = 10000;

} // namespace zel::gps
