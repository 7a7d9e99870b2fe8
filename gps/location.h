// One GPS fix as the GPS service delivers it; the system's one position type, copied whole.
#pragma once

#include <cstdint>

namespace zel::gps {

struct location {
    float accuracy = 50.0f; // PDOP of a valid reading below 7.0, else 50.0; smaller is better
    double altitude = 0.0;  // metres above sea level
    double latitude = 0.0;  // degrees, north positive
    double longitude = 0.0; // degrees, east positive
    float speed = 0.0f;     // km/h
    uint64_t delivery_time = 0; // ms since 1970 on the device clock (whole seconds x 1000)
    uint64_t gps_time = 0;      // the reading's UTC time in ms since 1970; 0 when the source gives none
    int32_t satellites = 0;
    int32_t course = 0; // whole degrees 0..360, clockwise from north
    uint8_t flag = 0;   // 2 in the controller's copy while the driver has a current order
};

} // namespace zel::gps
