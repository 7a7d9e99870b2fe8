// The GPS device: the cache file, source detection over pseudo-terminals, and the reading it polls.
#include "foundation/manual_clock.h"
#include "foundation/text_utils.h"
#include "gps/gps_device.h"
#include "tests/gps/com_ports.h"
#include "tests/gps/gps_test_support.h"
#include "tools/gps_receiver/nmea_pty.h"

#include <gtest/gtest.h>

namespace zel::gps {
namespace {

using nmea_tools::nmea_line;
using nmea_tools::nmea_pty;
using test::com_ports;
using test::eventually;
using test::fast_timing;
using test::receiver_sentences;
using test::temp_app_folder;

// gpsd is looked for on a loopback port where nothing listens.
gpsd_endpoint no_gpsd() {
    return gpsd_endpoint{"127.0.0.1", test::free_port()};
}

struct cache_case {
    std::string text;
    int mode;
    std::wstring source;
};

TEST(gps_device, cache_file) {
    const std::string padded = "COM4:38400" + std::string(89, ' '); // 99 bytes
    const std::vector<cache_case> cases = {
        {"GPSAPI", gps_device::gpsd_source, L""},
        {"gpsApi", gps_device::gpsd_source, L""},
        {"COM4:38400", gps_device::serial_source, L"COM4:38400"},
        {"COM4:", gps_device::no_source, L""},
        {"COM4:abc", gps_device::no_source, L""},
        {"COM4", gps_device::no_source, L""},
        {"", gps_device::no_source, L""},
        {padded, gps_device::serial_source, std::wstring(padded.begin(), padded.end())},
        {padded + " ", gps_device::no_source, L""}, // 100 bytes: ignored
    };
    const temp_app_folder folder;
    for (const auto& c : cases) {
        folder.write("cache/gps", c.text);
        gps_device device(fast_timing(), no_gpsd());
        device.load_cache();
        EXPECT_EQ(device.mode(), c.mode) << c.text;
        EXPECT_EQ(device.source_text(), c.source) << c.text;
    }
    std::filesystem::remove(folder.path() / "cache" / "gps");
    gps_device device(fast_timing(), no_gpsd());
    device.load_cache();
    EXPECT_EQ(device.mode(), gps_device::no_source);
}

TEST(gps_device, detection_finds_the_serial_receiver_and_caches_it) {
    const temp_app_folder folder;
    nmea_pty receiver(9600);
    receiver.set_sentences(receiver_sentences());
    const com_ports ports({{2, receiver.path()}});
    gps_device device(fast_timing(), no_gpsd());
    device.start();
    device.start();
    ASSERT_TRUE(device.wait_started(std::chrono::seconds(30)));
    EXPECT_EQ(device.mode(), gps_device::serial_source);
    EXPECT_EQ(device.source_text(), L"COM2:9600");
    EXPECT_EQ(folder.read("cache/gps"), "COM2:9600");

    gps_fix fix;
    ASSERT_TRUE(eventually([&] {
        fix = device.fix();
        return fix.valid && fix.fix_3d;
    }));
    EXPECT_NEAR(fix.latitude, 55.752056666, 1e-8);
    EXPECT_NEAR(fix.longitude, 37.626130000, 1e-8);
    EXPECT_DOUBLE_EQ(fix.altitude, 150.5);
    EXPECT_EQ(fix.satellites, 8);
    EXPECT_FLOAT_EQ(fix.pdop, 1.8f);
    EXPECT_FLOAT_EQ(fix.hdop, 0.9f);
    EXPECT_NEAR(fix.speed, 18.52, 1e-9);
    EXPECT_EQ(fix.gps_time, 0u);
    EXPECT_NE(fix.stamp, 0u);
}

struct cached_port_case {
    std::string cache;
    uint32_t receiver_baud; // 0: answers at any speed
    int receiver_port;
    std::wstring source;
};

TEST(gps_device, cached_port_opens_without_a_search_or_falls_back_to_detection) {
    const std::vector<cached_port_case> cases = {
        // A search would have found this receiver at 4800.
        {"COM5:38400", 0, 5, L"COM5:38400"},
        // COM4 is gone: the search finds the receiver elsewhere and the cache follows.
        {"COM4:38400", 4800, 1, L"COM1:4800"},
    };
    for (const auto& c : cases) {
        const temp_app_folder folder;
        folder.write("cache/gps", c.cache);
        nmea_pty receiver(c.receiver_baud);
        receiver.set_sentences(receiver_sentences());
        const com_ports ports({{c.receiver_port, receiver.path()}});
        gps_device device(fast_timing(), no_gpsd());
        device.start();
        ASSERT_TRUE(device.wait_started(std::chrono::seconds(30))) << c.cache;
        EXPECT_EQ(device.mode(), gps_device::serial_source) << c.cache;
        EXPECT_EQ(device.source_text(), c.source) << c.cache;
        EXPECT_EQ(folder.read("cache/gps"), wide_to_utf8(c.source)) << c.cache;
        EXPECT_TRUE(eventually([&] { return device.fix().valid == 1; })) << c.cache;
    }
}

TEST(gps_device, nothing_found_leaves_no_source_and_an_empty_cache) {
    const temp_app_folder folder;
    const com_ports ports({});
    gps_device device(fast_timing(), no_gpsd());
    device.start();
    ASSERT_TRUE(device.wait_started(std::chrono::seconds(30)));
    EXPECT_EQ(device.mode(), gps_device::no_source);
    EXPECT_EQ(folder.read("cache/gps"), "");
    const gps_fix fix = device.fix();
    EXPECT_EQ(fix.valid, 0);
    EXPECT_FLOAT_EQ(fix.pdop, 50.0f);
    EXPECT_EQ(fix.latitude, 0.0);
}

TEST(gps_device, search_is_stopped_when_the_detection_gives_up) {
    const temp_app_folder folder;
    // Found only at the second baud rate, after the detection has given up.
    nmea_pty receiver(9600);
    receiver.set_sentences(receiver_sentences());
    const com_ports ports({{1, receiver.path()}});
    gps_timing timing = fast_timing();
    timing.detection_wait = std::chrono::milliseconds(1);
    timing.pair_wait = std::chrono::milliseconds(600);
    gps_device device(timing, no_gpsd());
    device.start();
    ASSERT_TRUE(device.wait_started(std::chrono::seconds(30)));
    EXPECT_EQ(device.mode(), gps_device::no_source);
    EXPECT_EQ(folder.read("cache/gps"), "");
    // A search left running would reach 9600 after one pair wait and hold a receiver nobody reads.
    std::this_thread::sleep_for(2 * timing.pair_wait);
    EXPECT_EQ(receiver.answered_cycles(), 0);
}

TEST(gps_device, silent_or_unplugged_receiver_has_no_fix) {
    manual_clock clock;
    const temp_app_folder folder;
    nmea_pty receiver(4800);
    receiver.set_sentences(receiver_sentences());
    const com_ports ports({{1, receiver.path()}});
    gps_device device(fast_timing(), no_gpsd());
    device.start();
    ASSERT_TRUE(device.wait_started(std::chrono::seconds(30)));
    ASSERT_TRUE(eventually([&] { return device.fix().valid == 1; }));

    // Silent: the last position stays, but it is no longer a fix once it is older than ten seconds.
    receiver.set_sentences("");
    ASSERT_TRUE(eventually([&] {
        clock.advance_ms(10001);
        return device.fix().valid == 0;
    }));
    EXPECT_NEAR(device.fix().latitude, 55.752056666, 1e-8);

    receiver.set_sentences(receiver_sentences());
    ASSERT_TRUE(eventually([&] { return device.fix().valid == 1; }));

    receiver.hang_up();
    EXPECT_TRUE(eventually([&] {
        clock.advance_ms(10001);
        return device.fix().valid == 0;
    }));
}

} // namespace
} // namespace zel::gps
