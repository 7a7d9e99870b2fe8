// The gpsd source against a real gpsd: gpsfake replays an NMEA log written here on a free loopback port.
#include "foundation/manual_clock.h"
#include "gps/gps_api.h"
#include "gps/gps_device.h"
#include "tests/gps/com_ports.h"
#include "tests/gps/gps_test_support.h"
#include "tools/gps_receiver/nmea_pty.h"

#include <gtest/gtest.h>

namespace zel::gps {
namespace {

using nmea_tools::nmea_line;
using test::eventually;
using test::gpsfake;

// Five one-second epochs from 2024-06-15 12:00:00 UTC, as a GPS-only receiver sends them.
std::string full_log() {
    std::string log;
    for (int second = 0; second < 5; ++second) {
        const std::string time = "12000" + std::to_string(second) + ".00";
        log += nmea_line("GPRMC," + time + ",A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A");
        log += nmea_line("GPGGA," + time + ",5545.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,");
        log += nmea_line("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5");
        log += nmea_line("GPGSV,2,1,08,01,40,083,46,02,17,308,41,03,07,344,39,04,22,228,45");
        log += nmea_line("GPGSV,2,2,08,05,40,083,46,06,17,308,41,07,07,344,39,08,22,228,45");
    }
    return log;
}

// Neither DOPs nor altitude: gpsd reports them unknown.
std::string sparse_log() {
    std::string log;
    for (int second = 0; second < 5; ++second) {
        const std::string time = "12000" + std::to_string(second) + ".00";
        log += nmea_line("GPRMC," + time + ",A,5545.1234,S,03737.5678,W,20.0,45.0,150624,,,A");
        log += nmea_line("GPGGA," + time + ",5545.1234,S,03737.5678,W,1,05,,,M,,M,,");
    }
    return log;
}

constexpr uint64_t log_start_ms = 1718452800000ULL; // 2024-06-15 12:00:00 UTC

class gpsd_source : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = gpsfake::missing();
        if (!missing.empty()) {
            GTEST_SKIP() << missing;
        }
    }

    static void open(GpsAPI& api) {
        ASSERT_TRUE(api.open()) << "gpsd did not start";
    }

    // Waits for a reading with the log's time in it.
    static gps_fix timed_reading(GpsAPI& api) {
        gps_fix fix;
        EXPECT_TRUE(eventually([&] {
            api.get_position(fix);
            return fix.valid && fix.gps_time != 0;
        }));
        return fix;
    }
};

TEST_F(gpsd_source, maps_gpsd_reports_to_the_reading) {
    gpsfake gpsd(full_log());
    GpsAPI api(gpsd_endpoint{"127.0.0.1", gpsd.port()});
    open(api);
    gps_fix fix;
    ASSERT_TRUE(eventually([&] {
        fix = timed_reading(api);
        // The sky report and a whole epoch (the first report of all may come before the altitude) are in.
        return fix.satellites == 8 && fix.altitude != 0.0;
    }));
    EXPECT_NEAR(fix.latitude, 55.752056667, 1e-8);
    EXPECT_NEAR(fix.longitude, 37.626130000, 1e-8);
    EXPECT_NEAR(fix.altitude, 150.5, 1e-6);
    EXPECT_NEAR(fix.pdop, 1.8f, 1e-4);
    EXPECT_NEAR(fix.hdop, 0.9f, 1e-4);
    // gpsd gives metres per second: 10 knots are 18.52 km/h, not 10 x 1.852 x 1.852.
    EXPECT_NEAR(fix.speed, 18.52, 0.01);
    EXPECT_EQ(fix.fix, 1);
    EXPECT_EQ(fix.fix_3d, 1);
    EXPECT_GE(fix.gps_time, log_start_ms);
    EXPECT_LT(fix.gps_time, log_start_ms + 5000);
    EXPECT_EQ(fix.gps_time % 1000, 0u);
    EXPECT_NE(fix.stamp, 0u);
}

TEST_F(gpsd_source, unknown_values_get_the_defaults) {
    gpsfake gpsd(sparse_log());
    GpsAPI api(gpsd_endpoint{"127.0.0.1", gpsd.port()});
    open(api);
    const gps_fix fix = timed_reading(api);
    EXPECT_NEAR(fix.latitude, -55.752056667, 1e-8);
    EXPECT_NEAR(fix.longitude, -37.626130000, 1e-8);
    EXPECT_FLOAT_EQ(fix.pdop, 50.0f);
    EXPECT_FLOAT_EQ(fix.hdop, 50.0f);
    EXPECT_EQ(fix.altitude, 0.0);
    EXPECT_NEAR(fix.speed, 37.04, 0.01);
}

TEST_F(gpsd_source, a_gpsd_that_died_leaves_no_fix) {
    manual_clock clock;
    gpsfake gpsd(full_log());
    GpsAPI api(gpsd_endpoint{"127.0.0.1", gpsd.port()});
    open(api);
    timed_reading(api);
    gpsd.stop();
    gps_fix fix;
    EXPECT_TRUE(eventually([&] {
        clock.advance_ms(10001);
        api.get_position(fix);
        return fix.valid == 0;
    }));
}

TEST_F(gpsd_source, detection_prefers_gpsd_and_caches_it) {
    const test::temp_app_folder folder;
    const test::com_ports ports({});
    gpsfake gpsd(full_log());
    gps_timing timing;
    timing.poll_period = std::chrono::milliseconds(10);
    gps_device device(timing, gpsd_endpoint{"127.0.0.1", gpsd.port()});
    device.start();
    ASSERT_TRUE(device.wait_started(std::chrono::seconds(30)));
    EXPECT_EQ(device.mode(), gps_device::gpsd_source);
    EXPECT_EQ(folder.read("cache/gps"), "GPSAPI");
    EXPECT_TRUE(eventually([&] {
        const gps_fix fix = device.fix();
        return fix.valid && std::abs(fix.latitude - 55.752056667) < 1e-8;
    }));
}

TEST(gpsd_endpoint, from_text) {
    struct endpoint_case {
        std::string text;
        std::string host;
        std::string port;
    };
    const std::vector<endpoint_case> cases = {
        {"", "localhost", "2947"},          {"127.0.0.1:3000", "127.0.0.1", "3000"},
        {"gps.local", "gps.local", "2947"}, {"[::1]:4000", "::1", "4000"},
        {"[::1]", "::1", "2947"},
    };
    for (const auto& c : cases) {
        const auto endpoint = gpsd_endpoint::parse(c.text);
        EXPECT_EQ(endpoint.host, c.host) << c.text;
        EXPECT_EQ(endpoint.port, c.port) << c.text;
    }
}

} // namespace
} // namespace zel::gps
