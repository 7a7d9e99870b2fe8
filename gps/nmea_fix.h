// The serial receiver's position as its NMEA sentences last set it.
#pragma once

#include <cstdint>

namespace zel::gps {

struct nmea_time {
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    uint16_t millisecond = 0;
};

struct nmea_date {
    uint16_t year = 0; // full year
    uint8_t month = 0;
    uint8_t day = 0;
};

struct nmea_fix {
    uint8_t valid = 1;     // set by each GGA and RMC sentence
    uint64_t gps_time = 0; // stays 0: the serial source gives no GPS time
    nmea_time time;        // of the last sentence that carried one
    nmea_date date;        // of the last RMC that carried one
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    int32_t satellites = 0;
    float hdop = 50.0f;
    float pdop = 50.0f;
    float vdop = 50.0f;
    double speed = 0.0;  // km/h
    double course = 0.0; // degrees
    uint8_t fix = 0;     // 1 for a 2-D or 3-D fix (from GSA)
    uint8_t fix_3d = 0;  // 1 for a 3-D fix (from GSA)

    // When the last GGA or RMC arrived (clock::tick_ms), so that a receiver gone silent counts as no fix.
    bool heard = false;
    uint32_t position_tick = 0;
};

} // namespace zel::gps
