// The serial receiver end to end on pseudo-terminals: the port class, the search for port and baud rate, and
// the fix that the reader keeps.
#include "gps/pair_signal.h"
#include "gps/serial_gps_reader.h"
#include "platform/serial_port.h"
#include "tests/gps/com_ports.h"
#include "tests/gps/gps_test_support.h"
#include "tests/support/log_capture.h"
#include "tools/gps_receiver/nmea_pty.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

namespace zel::gps {
namespace {

using nmea_tools::nmea_line;
using nmea_tools::nmea_pty;
using test::com_ports;
using test::eventually;
using test::fast_timing;
using test::receiver_sentences;

TEST(serial_port, maps_port_names_to_devices) {
    const com_ports ports({{3, "/dev/pts/77"}});
    EXPECT_EQ(serial_port::device_path(L"COM3:"), "/dev/pts/77");
    EXPECT_EQ(serial_port::device_path(L"COM1:"), "/nonexistent/morvik-com1");
    EXPECT_EQ(serial_port::device_path(L"COM9:"), "");
    EXPECT_EQ(serial_port::device_path(L"COM3"), "");
    ::unsetenv("MORVIK_COM1");
    ::unsetenv("MORVIK_COM4");
    ::unsetenv("MORVIK_COM5");
    EXPECT_EQ(serial_port::device_path(L"COM1:"), "/dev/ttyACM0");
    EXPECT_EQ(serial_port::device_path(L"COM4:"), "/dev/ttyUSB1");
    EXPECT_EQ(serial_port::device_path(L"COM5:"), "/dev/ttyS0");
    serial_port port;
    EXPECT_FALSE(port.open(L"COM9:", 4800));
    EXPECT_FALSE(port.open(L"COM3:", 4801));
}

TEST(serial_port, reads_at_the_set_speed_and_reports_a_vanished_device) {
    nmea_pty receiver(19200);
    receiver.set_sentences(receiver_sentences());
    const com_ports ports({{2, receiver.path()}});
    serial_port port;
    ASSERT_TRUE(port.open(L"COM2:", 19200)) << port.last_error();
    ASSERT_TRUE(eventually([&] { return receiver.answered_cycles() > 0; }));
    ASSERT_EQ(port.wait(), serial_port::wait_result::readable);
    char buffer[256];
    EXPECT_GT(port.read(buffer, sizeof buffer), 0);

    receiver.hang_up();
    while (port.wait() == serial_port::wait_result::readable && port.read(buffer, sizeof buffer) > 0) {
    }
    EXPECT_EQ(port.wait(), serial_port::wait_result::hangup);

    // A reader of a vanished device waits for its stop instead of spinning.
    auto waiting = std::async(std::launch::async, [&] { port.wait_stopped(); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    port.stop();
    waiting.get();
    EXPECT_EQ(port.wait(), serial_port::wait_result::stopped);
}

TEST(pair_signal, only_the_armed_pair_answers) {
    pair_signal answered;
    answered.arm(1);
    answered.signal(1);
    EXPECT_TRUE(answered.wait_for(std::chrono::milliseconds(0)));
    // Arming the next pair forgets the answer of the last one, and a late answer from it counts for nothing.
    answered.arm(2);
    answered.signal(1);
    EXPECT_FALSE(answered.wait_for(std::chrono::milliseconds(1)));
    answered.signal(2);
    EXPECT_TRUE(answered.wait_for(std::chrono::milliseconds(0)));
    answered.arm(0);
    answered.signal(0);
    EXPECT_FALSE(answered.wait_for(std::chrono::milliseconds(0)));
}

TEST(serial_gps_reader, search_finds_port_and_baud_and_keeps_the_fix) {
    // COM1 holds a receiver that never says anything readable; COM3 answers at 57600 only. The order is COM1,
    // COM2, COM4, COM3 and 4800, 9600, 57600 ...
    nmea_pty wrong(0);
    nmea_pty receiver(57600);
    // A sentence this reader does not read comes first in every burst; the rest of the burst is still read.
    receiver.set_sentences(nmea_line("GPVTG,45.0,T,,M,10.0,N,18.5,K,A") + receiver_sentences());
    const com_ports ports({{1, wrong.path()}, {3, receiver.path()}});
    serial_gps_reader reader(fast_timing());
    ASSERT_TRUE(reader.start_search());
    ASSERT_TRUE(reader.wait_port_found(std::chrono::seconds(30)));
    std::wstring port;
    uint32_t baud = 0;
    reader.port_and_baud(port, baud);
    EXPECT_EQ(port, L"COM3:");
    EXPECT_EQ(baud, 57600u);

    nmea_fix fix;
    ASSERT_TRUE(eventually([&] {
        reader.copy_fix(fix);
        return fix.heard && fix.fix_3d;
    }));
    EXPECT_EQ(fix.valid, 1);
    EXPECT_NEAR(fix.latitude, 55.752056666, 1e-8);
    EXPECT_NEAR(fix.longitude, 37.626130000, 1e-8);
    EXPECT_EQ(fix.satellites, 8);
    EXPECT_NEAR(fix.speed, 18.52, 1e-9);
    EXPECT_FLOAT_EQ(fix.pdop, 1.8f);
}

TEST(serial_gps_reader, multi_system_receiver_is_found_and_read) {
    nmea_pty receiver(9600);
    receiver.set_sentences(nmea_line("GNRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A") +
                           nmea_line("GNGGA,120000.00,5545.1234,N,03737.5678,E,1,14,0.9,150.5,M,14.0,M,,") +
                           nmea_line("GNGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5,1") +
                           nmea_line("GLGSV,1,1,02,65,40,083,46,66,17,308,41"));
    const com_ports ports({{2, receiver.path()}});
    serial_gps_reader reader(fast_timing());
    reader.start_search();
    ASSERT_TRUE(reader.wait_port_found(std::chrono::seconds(30)));
    nmea_fix fix;
    ASSERT_TRUE(eventually([&] {
        reader.copy_fix(fix);
        return fix.heard && fix.satellites == 14 && fix.fix_3d;
    }));
    EXPECT_EQ(fix.valid, 1);
    EXPECT_NEAR(fix.latitude, 55.752056666, 1e-8);
}

TEST(serial_gps_reader, search_without_a_receiver_ends_empty) {
    nmea_pty silent(4800); // right speed, no sentences
    const com_ports ports({{4, silent.path()}});
    gps_timing timing = fast_timing();
    timing.pair_wait = std::chrono::milliseconds(20);
    serial_gps_reader reader(timing);
    reader.start_search();
    EXPECT_FALSE(reader.wait_port_found(std::chrono::seconds(30)));
    std::wstring port = L"x";
    uint32_t baud = 1;
    reader.port_and_baud(port, baud);
    EXPECT_EQ(port, L"");
    EXPECT_EQ(baud, 0u);
}

TEST(serial_gps_reader, a_stopped_search_leaves_no_port_behind) {
    nmea_pty silent(4800);
    const com_ports ports({{1, silent.path()}});
    gps_timing timing = fast_timing();
    timing.pair_wait = std::chrono::seconds(60);
    serial_gps_reader reader(timing);
    reader.start_search();
    EXPECT_FALSE(reader.wait_port_found(std::chrono::milliseconds(50)));
    reader.stop_search();
    std::wstring port;
    uint32_t baud = 1;
    reader.port_and_baud(port, baud);
    EXPECT_EQ(port, L"");
    EXPECT_EQ(baud, 0u);
    // The port was closed: it opens again.
    serial_port again;
    EXPECT_TRUE(again.open(L"COM1:", 4800)) << again.last_error();
}

// A receiver that sends impossible positions every cycle: no fix, and one log line for each kind of fault,
// however many sentences carry it; its good sentences later give the fix again.
TEST(serial_gps_reader, refused_positions_give_no_fix_and_one_log_line_per_kind) {
    const std::string bad = nmea_line("GPRMC,120000.00,A,9130.0000,N,03737.5678,E,10.0,45.0,150624,,,A") +
                            nmea_line("GPRMC,120000.00,A,5545.1234,N,72000.0000,E,10.0,45.0,150624,,,A") +
                            nmea_line("GPGGA,120000.00,4561.0000,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,") +
                            nmea_line("GPGGA,120000.00,55a5.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,") +
                            nmea_line("GPRMC,120000.00,A,,,03737.5678,E,10.0,45.0,150624,,,A") +
                            nmea_line("GPRMC,120000.00,V,,,,,,,150624,,,N");
    nmea_pty receiver(0);
    receiver.set_sentences(bad);
    const com_ports ports({{5, receiver.path()}});
    zel::test::log_capture log;
    serial_gps_reader reader(fast_timing());
    ASSERT_TRUE(reader.open(L"COM5:", 4800));
    nmea_fix fix;
    ASSERT_TRUE(eventually([&] {
        reader.copy_fix(fix);
        return fix.heard;
    }));
    const int cycles = receiver.answered_cycles();
    ASSERT_TRUE(eventually([&] { return receiver.answered_cycles() >= cycles + 10; }));
    reader.copy_fix(fix);
    EXPECT_EQ(fix.valid, 0);
    EXPECT_EQ(fix.latitude, 0.0);
    EXPECT_EQ(fix.longitude, 0.0);

    receiver.set_sentences(receiver_sentences());
    ASSERT_TRUE(eventually([&] {
        reader.copy_fix(fix);
        return fix.valid == 1;
    }));
    EXPECT_NEAR(fix.latitude, 55.752056666, 1e-8);

    const std::string text = log.text();
    auto count = [&](const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("NMEA position refused"), 5u) << text;
    for (const char* kind : {"a latitude beyond 90 degrees", "a longitude beyond 180 degrees", "60 minutes or more",
                             "not ddmm.mmmm", "missing where a fix is claimed"}) {
        EXPECT_EQ(count(kind), 1u) << kind << "\n" << text;
    }
}

TEST(serial_gps_reader, opens_a_known_port_directly) {
    nmea_pty receiver(0);
    receiver.set_sentences(receiver_sentences());
    const com_ports ports({{6, receiver.path()}});
    serial_gps_reader reader(fast_timing());
    ASSERT_TRUE(reader.open(L"COM6:", 115200));
    std::wstring port;
    uint32_t baud = 0;
    reader.port_and_baud(port, baud);
    EXPECT_EQ(port, L"COM6:");
    EXPECT_EQ(baud, 115200u);
    nmea_fix fix;
    ASSERT_TRUE(eventually([&] {
        reader.copy_fix(fix);
        return fix.heard;
    }));
    EXPECT_FALSE(reader.open(L"COM7:", 4800));
}

} // namespace
} // namespace zel::gps
