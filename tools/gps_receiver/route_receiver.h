// route_receiver: a GPS receiver on a pseudo-terminal (nmea_pty, answering at every speed) that sends, over and
// over, GSA, RMC and GGA sentences of the route's current point: its position, the speed and course from the
// point before it at one point a second, 8 satellites and PDOP 1.8 (an accurate 3D fix), and the time of the
// start plus one second a point. The journeys step it by their "drive" steps; the trial's receiver
// (nmea_receiver) steps it once a second of real time and loops its route. A route without points stands still
// at one point. Owns the route and its pseudo-terminal; used from one thread (the pseudo-terminal's writer thread
// only copies the sentences under its own lock).
//
//   state        event    next                                   sent
//   point i      next()   point i + 1                            the sentences of point i + 1, speed from point i
//   last point   next()   last point (at_end::stand)             the same position, speed 0
//   last point   next()   the first point (at_end::loop)         the first point, speed from the last
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/gps_receiver/nmea_pty.h"

namespace nmea_tools {

struct route_point {
    double latitude = 0;  // decimal degrees, north positive
    double longitude = 0; // decimal degrees, east positive
};

// A route file, one step a line; blank lines and lines starting with "#" are skipped:
//   LAT LON              a point one second after the one before (decimal degrees)
//   drive LAT LON KMH    from the last point straight to LAT LON at KMH km/h, a point a second, the last at LAT LON
//   stand SECONDS        the last point again, once a second for SECONDS whole seconds
// "drive" and "stand" need a point before them. Throws std::runtime_error naming the line that cannot be read
// (or the file, when it cannot be opened or its route would last longer than a week).
std::vector<route_point> read_route(const std::filesystem::path& file);

class route_receiver {
public:
    enum class at_end { stand, loop };

    // The point where a receiver without a route stands.
    static route_point standing_point();

    // Starts sending the first point (an empty route: standing_point()); start_seconds is the wall clock of the
    // first point (seconds since 1970, UTC).
    route_receiver(std::vector<route_point> route, int64_t start_seconds, at_end end = at_end::stand);

    const std::string& path() const {
        return pty_.path();
    }
    // Moves on to the next point and sends it; returns "LAT LON" of the point now sent, in decimal degrees as
    // the sentences carry them (degrees and minutes to five decimals).
    std::string next();

private:
    void send();

    std::vector<route_point> route_;
    at_end end_;
    size_t at_ = 0;
    size_t from_ = 0;    // the point before at_, when the last next() moved
    bool moved_ = false; // the last next() moved to another point
    int64_t seconds_;
    nmea_pty pty_{0};
};

} // namespace nmea_tools
