// nmea_receiver ROUTE: the local trial's GPS receiver (scripts/run). Opens a pseudo-terminal and prints
// "device PATH" as its first line on standard output, for the terminal's MORVIK_COM1; then drives ROUTE (the
// format of route_receiver.h's read_route) over and over, one point a second of real time, with the machine's
// clock as the sentences' time, until a signal ends it. Prints "lap N" as each lap begins. A route that cannot be
// read is named on standard error, with exit code 2.
#include "tools/gps_receiver/route_receiver.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: nmea_receiver ROUTE\n");
        return 2;
    }
    std::vector<nmea_tools::route_point> route;
    try {
        route = nmea_tools::read_route(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nmea_receiver: %s\n", error.what());
        return 2;
    }
    if (route.empty()) {
        std::fprintf(stderr, "nmea_receiver: the route %s has no point\n", argv[1]);
        return 2;
    }
    const size_t lap_seconds = route.size();
    const auto now = std::chrono::system_clock::now();
    nmea_tools::route_receiver receiver(
        route, std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count(),
        nmea_tools::route_receiver::at_end::loop);
    std::printf("device %s\n", receiver.path().c_str());
    std::printf("route %s: %zu s a lap\n", argv[1], lap_seconds);
    std::printf("lap 1\n");
    std::fflush(stdout);
    // Each point is due a whole second after the one before: a late wake-up does not shift the ones after it.
    auto due = std::chrono::steady_clock::now();
    for (size_t sent = 1;; ++sent) {
        due += std::chrono::seconds(1);
        std::this_thread::sleep_until(due);
        receiver.next();
        if (sent % lap_seconds == 0) {
            std::printf("lap %zu\n", sent / lap_seconds + 1);
            std::fflush(stdout);
        }
    }
}
