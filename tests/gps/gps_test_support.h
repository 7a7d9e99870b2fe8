// Fixtures shared by the GPS tests: a program folder of the test's own, a closed loopback port, and gpsd
// replaying an NMEA log through gpsfake.
#pragma once

#include "gps/gps_timing.h"
#include "tests/support/temp_app_folder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace zel::gps::test {

// A receiver's sentences for one second: RMC, GGA and GSA at 55.7520567 N 37.6261300 E, 10 knots, 8 satellites,
// PDOP 1.8, HDOP 0.9, altitude 150.5 m.
std::string receiver_sentences();

// Waits short enough for a port search to run in a second or two.
gps::gps_timing fast_timing();

using zel::test::temp_app_folder;

// A loopback TCP port that nothing listens on (taken from the kernel and released).
std::string free_port();

// gpsd on a free loopback port, fed the NMEA log again and again by gpsfake; stopped with its process group.
class gpsfake {
public:
    // Empty when gpsd and gpsfake are installed, else why the test must be skipped.
    static std::string missing();

    // Returns once gpsd accepts connections.
    explicit gpsfake(const std::string& nmea_log);
    ~gpsfake();
    gpsfake(const gpsfake&) = delete;
    gpsfake& operator=(const gpsfake&) = delete;

    const std::string& port() const {
        return port_;
    }
    // Ends gpsfake and its gpsd now.
    void stop();

private:
    zel::test::temp_folder folder_;
    std::string port_;
    pid_t pid_ = -1;
};

} // namespace zel::gps::test
