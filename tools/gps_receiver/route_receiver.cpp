#include "tools/gps_receiver/route_receiver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace nmea_tools {
namespace {

constexpr double earth_radius_m = 6371000.0;
constexpr double metres_per_second_in_knots = 3600.0 / 1852.0;
constexpr double pi = 3.14159265358979323846;
// A route's speeds, and its length: a point a second for a week at most.
constexpr double min_kmh = 1;
constexpr double max_kmh = 300;
constexpr size_t max_points = 7 * 24 * 3600;

double radians(double degrees) {
    return degrees * pi / 180.0;
}

// An angle as NMEA writes it (degrees, then minutes to five decimals), and the decimal degrees that text means.
struct nmea_angle {
    std::string text;
    double degrees;
};

nmea_angle nmea_of(double value, int degree_digits) {
    const double magnitude = std::fabs(value);
    int whole = static_cast<int>(magnitude);
    long minutes_e5 = std::lround((magnitude - whole) * 60.0 * 100000.0);
    if (minutes_e5 >= 60L * 100000) {
        ++whole;
        minutes_e5 -= 60L * 100000;
    }
    char text[48]; // room for any int and long the format can print
    std::snprintf(text, sizeof text, "%0*d%02ld.%05ld", degree_digits, whole, minutes_e5 / 100000, minutes_e5 % 100000);
    const double degrees = whole + static_cast<double>(minutes_e5) / 100000.0 / 60.0;
    return {text, value < 0 ? -degrees : degrees};
}

double distance_m(const route_point& a, const route_point& b) {
    const double dlat = radians(b.latitude - a.latitude);
    const double dlon = radians(b.longitude - a.longitude);
    const double h = std::sin(dlat / 2) * std::sin(dlat / 2) + std::cos(radians(a.latitude)) *
                                                                   std::cos(radians(b.latitude)) * std::sin(dlon / 2) *
                                                                   std::sin(dlon / 2);
    return 2 * earth_radius_m * std::asin(std::sqrt(h));
}

double course_deg(const route_point& a, const route_point& b) {
    const double y = std::sin(radians(b.longitude - a.longitude)) * std::cos(radians(b.latitude));
    const double x =
        std::cos(radians(a.latitude)) * std::sin(radians(b.latitude)) -
        std::sin(radians(a.latitude)) * std::cos(radians(b.latitude)) * std::cos(radians(b.longitude - a.longitude));
    return std::fmod(std::atan2(y, x) * 180.0 / pi + 360.0, 360.0);
}

bool on_earth(const route_point& point) {
    return std::fabs(point.latitude) <= 90 && std::fabs(point.longitude) <= 180;
}

} // namespace

std::vector<route_point> read_route(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        throw std::runtime_error("cannot read the route " + file.string());
    }
    std::vector<route_point> route;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[line.find_first_not_of(" \t")] == '#') {
            continue;
        }
        const std::string where = file.string() + ":" + std::to_string(number) + ": ";
        std::istringstream words(line);
        std::string first;
        words >> first;
        route_point point;
        double kmh = 0;
        long seconds = 0;
        std::string rest;
        if (first == "drive" || first == "stand") {
            if (route.empty()) {
                throw std::runtime_error(where + "\"" + first + "\" before the first point: " + line);
            }
        } else {
            words.str(line);
            words.clear();
        }
        if (first == "drive") {
            if (!(words >> point.latitude >> point.longitude >> kmh) || (words >> rest) || !on_earth(point) ||
                !(kmh >= min_kmh && kmh <= max_kmh)) {
                throw std::runtime_error(where + "not \"drive LAT LON KMH\" (KMH from 1 to 300): " + line);
            }
            const route_point from = route.back();
            const double metres = distance_m(from, point);
            const long steps = std::max(1L, static_cast<long>(std::ceil(metres / (kmh / 3.6) - 1e-9)));
            if (route.size() + static_cast<size_t>(steps) > max_points) {
                throw std::runtime_error(where + "the route would last longer than a week: " + line);
            }
            for (long i = 1; i <= steps; ++i) {
                const double part = static_cast<double>(i) / static_cast<double>(steps);
                route.push_back({from.latitude + (point.latitude - from.latitude) * part,
                                 from.longitude + (point.longitude - from.longitude) * part});
            }
        } else if (first == "stand") {
            if (!(words >> seconds) || (words >> rest) || seconds < 0 ||
                route.size() + static_cast<size_t>(seconds) > max_points) {
                throw std::runtime_error(where + "not \"stand SECONDS\" (whole seconds, at most a week): " + line);
            }
            route.insert(route.end(), static_cast<size_t>(seconds), route.back());
        } else {
            if (!(words >> point.latitude >> point.longitude) || (words >> rest) || !on_earth(point)) {
                throw std::runtime_error(where + "not \"LAT LON\": " + line);
            }
            if (route.size() + 1 > max_points) {
                throw std::runtime_error(where + "the route would last longer than a week: " + line);
            }
            route.push_back(point);
        }
    }
    return route;
}

route_point route_receiver::standing_point() {
    return {55.7520567, 37.6261300};
}

route_receiver::route_receiver(std::vector<route_point> route, int64_t start_seconds, at_end end)
    : route_(route.empty() ? std::vector<route_point>{standing_point()} : std::move(route)), end_(end),
      seconds_(start_seconds) {
    send();
}

std::string route_receiver::next() {
    from_ = at_;
    if (at_ + 1 < route_.size()) {
        ++at_;
        moved_ = true;
    } else {
        // A loop's first point follows its last as any point follows the one before.
        moved_ = end_ == at_end::loop && route_.size() > 1;
        if (moved_) {
            at_ = 0;
        }
    }
    ++seconds_;
    send();
    const route_point& point = route_[at_];
    char text[64];
    std::snprintf(text, sizeof text, "%.8f %.8f", nmea_of(point.latitude, 2).degrees,
                  nmea_of(point.longitude, 3).degrees);
    return text;
}

void route_receiver::send() {
    const route_point& point = route_[at_];
    const nmea_angle latitude = nmea_of(point.latitude, 2);
    const nmea_angle longitude = nmea_of(point.longitude, 3);
    const char* north = point.latitude < 0 ? "S" : "N";
    const char* east = point.longitude < 0 ? "W" : "E";
    double knots = 0;
    double course = 0;
    if (moved_) {
        knots = distance_m(route_[from_], point) * metres_per_second_in_knots;
        course = course_deg(route_[from_], point);
    }
    const std::time_t now = static_cast<std::time_t>(seconds_);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char time[40];
    char date[40];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", utc.tm_hour, utc.tm_min, utc.tm_sec);
    std::snprintf(date, sizeof date, "%02d%02d%02d", utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
    char rmc[160];
    std::snprintf(rmc, sizeof rmc, "GPRMC,%s,A,%s,%s,%s,%s,%.2f,%.1f,%s,,,A", time, latitude.text.c_str(), north,
                  longitude.text.c_str(), east, knots, course, date);
    char gga[160];
    std::snprintf(gga, sizeof gga, "GPGGA,%s,%s,%s,%s,%s,1,08,0.9,150.5,M,14.0,M,,", time, latitude.text.c_str(), north,
                  longitude.text.c_str(), east);
    pty_.set_sentences(nmea_line("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5") + nmea_line(rmc) +
                       nmea_line(gga));
}

} // namespace nmea_tools
