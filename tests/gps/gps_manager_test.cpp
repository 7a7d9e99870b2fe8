// The GPS service: locations built from readings, the course and its previous location, the subscribers.
#include "foundation/logger.h"
#include "foundation/manual_clock.h"
#include "gps/gps_device.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"
#include "tests/gps/com_ports.h"
#include "tests/gps/gps_test_support.h"
#include "tools/gps_receiver/nmea_pty.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <set>
#include <stdexcept>
#include <unistd.h>

namespace zel::gps {
namespace {

using test::eventually;

location at(double latitude, double longitude, float accuracy = 2.0f) {
    location l;
    l.latitude = latitude;
    l.longitude = longitude;
    l.accuracy = accuracy;
    return l;
}

struct course_case {
    location from;
    location to;
    int32_t course;
};

TEST(gps_course, table) {
    const std::vector<course_case> cases = {
        {at(55.0, 37.0), at(55.0, 37.0), 0},
        {at(55.0, 37.0), at(55.001, 37.0005), 0},  // ratio 0.5 -> 0
        {at(55.0, 37.0), at(55.001, 37.0025), 63}, // ratio 2.5 -> 2
        {at(55.0, 37.0), at(55.001, 37.001), 45},
        {at(55.0, 37.0), at(54.999, 37.0), 180},
        {at(55.0, 37.0), at(55.0, 36.9), 270},
        {at(55.0, 37.0), at(55.0, 37.1), 90},
        {at(55.0, 37.0), at(55.001, 36.9995), 360}, // ratio -0.5 -> 0, just west of north
        {at(55.0, 37.0), at(54.999, 37.0025), 116}, // 180 - 63.4
        {at(55.0, 37.0), at(54.999, 36.9975), 243}, // 180 + 63.4
        {at(55.0, 37.0), at(55.001, 36.9975), 296}, // 360 - 63.4
        {at(55.0, 37.0), at(55.0000001, 38.0), 89}, // a huge ratio stays below 90
        {at(55.0, 37.0, 8.0f), at(55.001, 37.001, 8.0f), 45},
        {at(55.0, 37.0, 8.5f), at(55.001, 37.001), 0},
        {at(55.0, 37.0), at(55.001, 37.001, 50.0f), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gps_course(c.from, c.to), c.course)
            << c.from.latitude << "," << c.from.longitude << " -> " << c.to.latitude << "," << c.to.longitude;
    }
}

gps_fix reading(double latitude, double longitude, float pdop, double speed = 0.0) {
    gps_fix fix;
    fix.valid = 1;
    fix.latitude = latitude;
    fix.longitude = longitude;
    fix.pdop = pdop;
    fix.hdop = 1.0f;
    fix.speed = speed;
    fix.altitude = 150.5;
    fix.satellites = 9;
    fix.gps_time = 1718452800000ULL;
    return fix;
}

struct stepped_service {
    manual_fix_source* source;
    gps_manager service;
    std::vector<location> delivered;

    stepped_service()
        : source(new manual_fix_source),
          service(std::unique_ptr<fix_source>(source), gps_manager::options{std::chrono::milliseconds(1000), false}) {
        service.subscribe([this](const location& l) { delivered.push_back(l); });
    }
    location step(const gps_fix& fix) {
        source->set(fix);
        service.refresh_once();
        return delivered.back();
    }
};

TEST(gps_manager, builds_locations_from_readings) {
    manual_clock clock(1'700'000'000'500LL);
    stepped_service gps;
    EXPECT_EQ(gps.service.last_location().accuracy, 50.0f);
    EXPECT_EQ(gps.service.last_location().latitude, 0.0);

    const location first = gps.step(reading(55.0, 37.0, 6.9f, 18.52));
    EXPECT_FLOAT_EQ(first.accuracy, 6.9f);
    EXPECT_EQ(first.latitude, 55.0);
    EXPECT_EQ(first.longitude, 37.0);
    EXPECT_EQ(first.altitude, 150.5);
    EXPECT_FLOAT_EQ(first.speed, 18.52f);
    EXPECT_EQ(first.satellites, 9);
    EXPECT_EQ(first.gps_time, 1718452800000ULL);
    EXPECT_EQ(first.delivery_time, 1'700'000'000'000ULL); // whole seconds
    EXPECT_EQ(first.course, 0);                           // no accurate previous location yet
    EXPECT_EQ(first.flag, 0);
    EXPECT_EQ(gps.service.last_location().latitude, 55.0);

    EXPECT_FLOAT_EQ(gps.step(reading(55.0, 37.0, 7.0f)).accuracy, 50.0f);
    gps_fix invalid = reading(55.0, 37.0, 2.0f);
    invalid.valid = 0;
    EXPECT_FLOAT_EQ(gps.step(invalid).accuracy, 50.0f);
}

TEST(gps_manager, course_comes_from_the_last_accurate_location) {
    manual_clock clock;
    stepped_service gps;
    gps.step(reading(55.0, 37.0, 2.0f));
    EXPECT_EQ(gps.step(reading(55.001, 37.0025, 2.0f)).course, 63);
    // An inaccurate location gets course 0 and is not the previous location.
    EXPECT_EQ(gps.step(reading(10.0, 10.0, 9.0f)).course, 0);
    EXPECT_EQ(gps.step(reading(55.001, 37.1, 2.0f)).course, 90);
    // PDOP 7.5 is not accurate: accuracy 50.0, course 0, and not the previous location.
    EXPECT_EQ(gps.step(reading(55.002, 37.1, 7.5f)).course, 0);
    EXPECT_EQ(gps.step(reading(55.001, 37.0, 2.0f)).course, 270);
}

TEST(gps_manager, a_failing_subscriber_is_logged_and_the_others_still_run) {
    int pipe_fds[2];
    ASSERT_EQ(::pipe2(pipe_fds, O_NONBLOCK), 0);
    logger::create(0);
    logger::instance()->set_output_fd(pipe_fds[1]);

    auto* source = new manual_fix_source;
    gps_manager service(std::unique_ptr<fix_source>(source), gps_manager::options{std::chrono::milliseconds(1), false});
    std::vector<std::string> calls;
    service.subscribe([&](const location&) { calls.push_back("first"); });
    service.subscribe([&](const location&) {
        calls.push_back("second");
        throw std::runtime_error("track file is full");
    });
    service.subscribe([&](const location&) {
        calls.push_back("third");
        throw 42;
    });
    service.subscribe([&](const location&) { calls.push_back("fourth"); });
    source->set(reading(55.0, 37.0, 2.0f));
    service.refresh_once();
    logger::instance()->set_output_fd(-1);

    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second", "third", "fourth"}));
    EXPECT_EQ(service.last_location().latitude, 55.0);
    char text[1024] = {};
    const ssize_t got = ::read(pipe_fds[0], text, sizeof text - 1);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    ASSERT_GT(got, 0);
    EXPECT_NE(std::string(text).find("[ERROR] : GPS: a subscriber failed: track file is full"), std::string::npos)
        << text;
}

TEST(gps_manager, refresh_thread_starts_once_and_delivers) {
    // Declared before the service, so the refresh thread has ended before they go.
    std::mutex lock;
    std::set<std::thread::id> threads;
    int first = 0;
    int second = 0;
    auto* source = new manual_fix_source;
    source->set(reading(55.0, 37.0, 2.0f));
    gps_manager service(std::unique_ptr<fix_source>(source), gps_manager::options{std::chrono::milliseconds(1), true});
    service.subscribe([&](const location&) {
        std::lock_guard guard(lock);
        threads.insert(std::this_thread::get_id());
        ++first;
    });
    service.subscribe([&](const location& l) {
        std::lock_guard guard(lock);
        threads.insert(std::this_thread::get_id());
        second += l.latitude == 55.0;
    });
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(lock);
        return first >= 5 && second >= 5;
    }));
    std::lock_guard guard(lock);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
}

TEST(gps_manager, fixes_from_a_serial_receiver_reach_the_subscribers) {
    const test::temp_app_folder folder;
    nmea_tools::nmea_pty receiver(4800);
    receiver.set_sentences(nmea_tools::nmea_line("GNRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A") +
                           nmea_tools::nmea_line("GNGGA,120000.00,5545.1234,N,03737.5678,E,1,8,0.9,150.5,M,14.0,M,,") +
                           nmea_tools::nmea_line("GNGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5,1"));
    const test::com_ports ports({{1, receiver.path()}});
    gps_timing timing;
    timing.poll_period = std::chrono::milliseconds(5);
    timing.port_settle = std::chrono::milliseconds(5);
    timing.read_pause = std::chrono::milliseconds(1);
    std::mutex lock; // before the service, which ends its refresh thread when it goes
    location latest;
    gps_manager service(std::make_unique<gps_device>(timing, gpsd_endpoint{"127.0.0.1", test::free_port()}),
                        gps_manager::options{std::chrono::milliseconds(5), true});
    service.subscribe([&](const location& l) {
        std::lock_guard guard(lock);
        latest = l;
    });
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(lock);
        return latest.accuracy < 2.0f;
    }));
    std::lock_guard guard(lock);
    EXPECT_FLOAT_EQ(latest.accuracy, 1.8f);
    EXPECT_NEAR(latest.latitude, 55.752056666, 1e-8);
    EXPECT_NEAR(latest.longitude, 37.626130000, 1e-8);
    EXPECT_NEAR(latest.speed, 18.52f, 1e-4);
    EXPECT_EQ(latest.satellites, 8);
    EXPECT_EQ(latest.gps_time, 0u);
    EXPECT_EQ(folder.read("cache/gps"), "COM1:4800");
}

TEST(gps_manager, an_installed_service_replaces_the_programs_own) {
    gps_manager service(std::make_unique<manual_fix_source>(),
                        gps_manager::options{std::chrono::milliseconds(1), false});
    gps_manager::set_instance(&service);
    EXPECT_EQ(&gps_manager::instance(), &service);
    gps_manager::set_instance(nullptr);
}

} // namespace
} // namespace zel::gps
