// The GPS receiver of a journey: a pseudo-terminal (tests/gps/nmea_pty.h, answering at every speed) that sends,
// over and over, GSA, RMC and GGA sentences of the route's current point: its position, the speed and course
// from the point before it at one point a second, 8 satellites and PDOP 1.8 (an accurate 3D fix), and the time
// of the pinned clock plus one second a point. A journey without a route stands still at one point.
// Used from one thread; the pseudo-terminal's writer thread only copies the sentences under its own lock.
//
//   state        event    next           sent
//   point i      next()   point i + 1    the sentences of point i + 1, speed from point i
//   last point   next()   last point     the same position, speed 0
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/gps/nmea_pty.h"

namespace zel::test {

struct route_point {
    double latitude = 0;  // decimal degrees, north positive
    double longitude = 0; // decimal degrees, east positive
};

// A route file: one point a line, "LAT LON" in decimal degrees; blank lines and lines starting with "#"
// skipped. Throws std::runtime_error naming the line that cannot be read.
std::vector<route_point> read_route(const std::filesystem::path& file);

class route_receiver {
public:
    // The point where a journey without a route stands.
    static route_point standing_point();

    // Starts sending the first point (an empty route: standing_point()); start_seconds is the wall clock of the
    // first point (seconds since 1970, UTC).
    route_receiver(std::vector<route_point> route, int64_t start_seconds);

    const std::string& path() const {
        return pty_.path();
    }
    // Moves on to the next point and sends it; returns "LAT LON" of the point now sent, in decimal degrees as
    // the sentences carry them (degrees and minutes to five decimals).
    std::string next();

private:
    void send();

    std::vector<route_point> route_;
    size_t at_ = 0;
    bool moved_ = false; // the last next() moved to another point
    int64_t seconds_;
    gps::test::nmea_pty pty_{0};
};

} // namespace zel::test
