// NMEA sentences from a table: taking them out of received bytes, parsing, and applying them to the fix.
#include "gps/nmea_parser.h"
#include "tools/gps_receiver/nmea_pty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace zel::gps {
namespace {

using nmea_tools::nmea_line;

const std::string gga = nmea_line("GPGGA,120000.00,5545.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,");
const std::string rmc = nmea_line("GPRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A");
const std::string gsa = nmea_line("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5");

// The sentence as extract_sentence returns it: without its line feed.
std::string without_lf(const std::string& line) {
    return line.substr(0, line.size() - 1);
}

struct extract_case {
    const char* name;
    std::vector<std::string> reads; // appended to the buffer one after another
    std::vector<std::string> sentences;
    size_t dropped;
    std::string left; // the buffer at the end
};

TEST(nmea_extract, table) {
    const std::string bad_sum = "$GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5*00\r\n";
    const std::string no_cr = gsa.substr(0, gsa.size() - 2) + "\n";
    const std::string long_tail = gsa.substr(0, gsa.size() - 2) + " \r\n";
    const std::vector<extract_case> cases = {
        {"one sentence", {gga}, {without_lf(gga)}, 0, ""},
        {"two stray bytes before it", {"\x01x" + gsa}, {without_lf(gsa)}, 0, ""},
        {"split across reads", {gga.substr(0, 20), gga.substr(20)}, {without_lf(gga)}, 0, ""},
        {"two in one read", {gga + rmc}, {without_lf(gga), without_lf(rmc)}, 0, ""},
        {"garbage between", {gga + "\xff\x13noise\r\n" + rmc}, {without_lf(gga), without_lf(rmc)}, 0, ""},
        {"bad checksum drops its line only", {bad_sum + rmc}, {without_lf(rmc)}, 1, ""},
        {"no carriage return", {no_cr + rmc}, {without_lf(rmc)}, 1, ""},
        {"longer tail", {long_tail}, {}, 1, ""},
        {"partial sentence waits", {gga + "$GPRMC,1200"}, {without_lf(gga)}, 0, "$GPRMC,1200"},
        {"no dollar clears", {"abc\r\ndef"}, {}, 0, ""},
        {"garbage without line end is dropped past 1 KiB",
         {"$" + std::string(1100, 'x'), rmc},
         {without_lf(rmc)},
         1,
         ""},
        {"overlong line", {"$" + std::string(1100, 'x') + "*00\r\n"}, {}, 1, ""},
        {"noise with a dollar before a sentence", {"$\xff" + gsa}, {without_lf(gsa)}, 1, ""},
    };
    for (const auto& c : cases) {
        std::string buffer;
        std::vector<std::string> sentences;
        size_t dropped = 0;
        for (const auto& read : c.reads) {
            buffer += read;
            std::string sentence;
            for (;;) {
                const auto result = extract_sentence(buffer, sentence);
                if (result == extract_result::need_more) {
                    break;
                }
                if (result == extract_result::dropped) {
                    ++dropped;
                } else {
                    sentences.push_back(sentence);
                }
            }
        }
        EXPECT_EQ(sentences, c.sentences) << c.name;
        EXPECT_EQ(dropped, c.dropped) << c.name;
        EXPECT_EQ(buffer, c.left) << c.name;
    }
    // Checksum digits in either case.
    for (std::string line : {std::string("$GPGSV,1,1,02*7B\r\n"), std::string("$GPGSV,1,1,02*7b\r\n")}) {
        std::string sentence;
        EXPECT_EQ(extract_sentence(line, sentence), extract_result::sentence) << line;
    }
}

std::optional<nmea_sentence> parse(const std::string& line) {
    return parse_sentence(without_lf(line));
}

TEST(nmea_parse, gga_values) {
    const auto record = parse(gga);
    ASSERT_TRUE(record);
    EXPECT_EQ(nmea_type(*record), 8);
    const auto& g = std::get<nmea_gga>(*record);
    // Four decimals give exactly the value of dd + (mm + mmmm x 0.0001) / 60.
    EXPECT_EQ(g.latitude.value, 55 + (45 + 1234 * 0.0001) / 60);
    EXPECT_NEAR(g.latitude.value, 55.752056666, 1e-9);
    EXPECT_EQ(g.longitude.value, 37 + (37 + 5678 * 0.0001) / 60);
    EXPECT_EQ(g.satellites.value, 8);
    EXPECT_FLOAT_EQ(g.hdop.value, 0.9f);
    EXPECT_DOUBLE_EQ(g.altitude.value, 150.5);
    EXPECT_EQ(g.time.value.hour, 12);
    EXPECT_FALSE(g.latitude.missing || g.longitude.missing || g.satellites.missing || g.time.missing);
}

struct coordinate_case {
    const char* body;
    double latitude;
    double longitude;
    bool missing;
};

TEST(nmea_parse, coordinates_with_any_decimals) {
    const std::vector<coordinate_case> cases = {
        {"GPGGA,120000,5545.12,N,03737.5,E,1,8,0.9,150.5,M,14.0,M,,", 55 + 45.12 / 60, 37 + 37.5 / 60, false},
        {"GPGGA,120000,5545,N,03737,E,1,8,0.9,150.5,M,14.0,M,,", 55 + 45.0 / 60, 37 + 37.0 / 60, false},
        {"GPGGA,120000,5545.123456,S,03737.5678901,w,1,8,0.9,150.5,M,14.0,M,,", -(55 + 45.123456 / 60),
         -(37 + 37.5678901 / 60), false},
        {"GPGGA,120000,5545.1234,s,03737.5678,W,1,8,0.9,150.5,M,14.0,M,,", -(55 + (45 + 1234 * 0.0001) / 60),
         -(37 + (37 + 5678 * 0.0001) / 60), false},
        // A character outside the field never becomes a digit of the coordinate.
        {"GPGGA,120000,55a5.12,N,03737.5,E,1,8,0.9,150.5,M,14.0,M,,", 0, 37 + 37.5 / 60, true},
        {"GPGGA,120000,,N,03737.5,E,1,8,0.9,150.5,M,14.0,M,,", 0, 37 + 37.5 / 60, true},
        {"GPGGA,120000,5545.12,,03737.5,E,1,8,0.9,150.5,M,14.0,M,,", 0, 37 + 37.5 / 60, true},
    };
    for (const auto& c : cases) {
        const auto record = parse(nmea_line(c.body));
        ASSERT_TRUE(record) << c.body;
        const auto& g = std::get<nmea_gga>(*record);
        EXPECT_EQ(g.latitude.missing, c.missing) << c.body;
        if (!c.missing) {
            EXPECT_NEAR(g.latitude.value, c.latitude, 1e-12) << c.body;
        }
        EXPECT_NEAR(g.longitude.value, c.longitude, 1e-12) << c.body;
        EXPECT_EQ(g.satellites.value, 8) << c.body;
    }
}

// A position that is no place on the earth, or half of one, gives no fix: one such sentence in a ride would
// bill the way to it. Each sentence comes after a good fix, which must not survive it.
struct position_case {
    const char* name;
    std::string body;
    position_fault fault;
    uint8_t valid;
    double latitude; // of the fix afterwards
    double longitude;
};

TEST(nmea_apply, impossible_or_partial_positions_give_no_fix) {
    const double lat = 55 + (45 + 1234 * 0.0001) / 60;
    const double lon = 37 + (37 + 5678 * 0.0001) / 60;
    auto rmc_at = [](const std::string& latitude, const std::string& longitude) {
        return "GPRMC,120001.00,A," + latitude + "," + longitude + ",10.0,45.0,150624,,,A";
    };
    auto gga_at = [](const std::string& latitude, const std::string& longitude, const std::string& quality = "1") {
        return "GPGGA,120001.00," + latitude + "," + longitude + "," + quality + ",08,0.9,150.5,M,14.0,M,,";
    };
    using f = position_fault;
    const std::vector<position_case> cases = {
        {"good rmc", rmc_at("5545.1234,N", "03737.5678,E"), f::none, 1, lat, lon},
        {"longitude of 720 degrees", rmc_at("5545.1234,N", "72000.0000,E"), f::longitude_over_180, 0, 0, 0},
        {"longitude of 180.5 degrees", rmc_at("5545.1234,N", "18030.0000,E"), f::longitude_over_180, 0, 0, 0},
        {"longitude of 180 degrees west", rmc_at("5545.1234,N", "18000.0000,W"), f::none, 1, lat, -180.0},
        {"latitude of 91.5 degrees", gga_at("9130.0000,N", "03737.5678,E"), f::latitude_over_90, 0, 0, 0},
        {"latitude just past the pole", gga_at("9000.0001,S", "03737.5678,E"), f::latitude_over_90, 0, 0, 0},
        {"the south pole", gga_at("9000.0000,S", "03737.5678,E"), f::none, 1, -90.0, lon},
        {"latitude with 61 minutes", gga_at("4561.0000,N", "03737.5678,E"), f::minutes_over_59, 0, 0, 0},
        {"longitude with 60 minutes", rmc_at("5545.1234,N", "03760.0000,E"), f::minutes_over_59, 0, 0, 0},
        {"59.9999 minutes", rmc_at("4559.9999,N", "03737.5678,E"), f::none, 1, 45 + 59.9999 / 60, lon},
        {"a short longitude is read by its digits", rmc_at("5545.1234,N", "720.0000,E"), f::none, 1, lat,
         7 + 20.0 / 60},
        {"latitude with a letter", gga_at("55a5.1234,N", "03737.5678,E"), f::unreadable, 0, 0, 0},
        {"longitude with a sign", rmc_at("5545.1234,N", "-3737.5678,E"), f::unreadable, 0, 0, 0},
        {"latitude with five degree digits", rmc_at("12345.0000,N", "03737.5678,E"), f::unreadable, 0, 0, 0},
        {"unknown hemisphere", rmc_at("5545.1234,X", "03737.5678,E"), f::unreadable, 0, 0, 0},
        {"latitude hemisphere on a longitude", rmc_at("5545.1234,N", "03737.5678,N"), f::unreadable, 0, 0, 0},
        {"lower-case hemispheres", rmc_at("5545.1234,s", "03737.5678,w"), f::none, 1, -lat, -lon},
        {"refused latitude before a missing longitude", rmc_at("9130.0000,N", ","), f::latitude_over_90, 0, 0, 0},
        {"missing longitude before a refused one", gga_at("5545.1234,", "72000.0000,E"), f::longitude_over_180, 0, 0,
         0},
        {"active rmc without latitude", rmc_at(",", "03737.5678,E"), f::missing, 0, 0, 0},
        {"gga of a fix without longitude hemisphere", gga_at("5545.1234,N", "03737.5678,"), f::missing, 0, 0, 0},
        {"void rmc without a position", "GPRMC,120001.00,V,,,,,,,150624,,,N", f::none, 0, 0, 0},
        {"gga of no fix without a position", gga_at(",", ",", "0"), f::none, 0, 0, 0},
    };
    for (const auto& c : cases) {
        nmea_fix fix;
        apply_sentence(fix, *parse(rmc));
        ASSERT_EQ(fix.valid, 1) << c.name;
        const auto record = parse(nmea_line(c.body));
        ASSERT_TRUE(record) << c.name;
        EXPECT_EQ(fault_of(*record), c.fault) << c.name;
        apply_sentence(fix, *record);
        EXPECT_EQ(fix.valid, c.valid) << c.name;
        EXPECT_NEAR(fix.latitude, c.latitude, 1e-12) << c.name;
        EXPECT_NEAR(fix.longitude, c.longitude, 1e-12) << c.name;
        // The record never carries a coordinate beyond the poles or the date line.
        const auto* r = std::get_if<nmea_rmc>(&*record);
        const auto* g = std::get_if<nmea_gga>(&*record);
        const nmea_field<double>& latitude = r ? r->latitude : g->latitude;
        const nmea_field<double>& longitude = r ? r->longitude : g->longitude;
        EXPECT_TRUE(latitude.missing || std::fabs(latitude.value) <= 90.0) << c.name;
        EXPECT_TRUE(longitude.missing || std::fabs(longitude.value) <= 180.0) << c.name;
        EXPECT_EQ(latitude.missing || longitude.missing, c.valid == 0) << c.name;
    }
    EXPECT_EQ(fault_of(*parse(gsa)), position_fault::none);
}

struct parse_case {
    std::string line;
    int type; // -1: rejected
};

TEST(nmea_parse, which_sentences_are_read) {
    const std::vector<parse_case> cases = {
        {gga, 8},
        {rmc, 1},
        {gsa, 9},
        {nmea_line("GNGGA,120000.00,5545.1234,N,03737.5678,E,1,12,0.9,150.5,M,14.0,M,,"), 8},
        {nmea_line("GNRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A"), 1},
        {nmea_line("GNGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9,1.5,1"), 9},
        {nmea_line("GLGSA,A,3,65,66,,,,,,,,,,,1.8,0.9,1.5"), 9},
        {nmea_line("GAGGA,120000.00,5545.1234,N,03737.5678,E,1,05,0.9,150.5,M,14.0,M,,"), 8},
        {nmea_line("BDRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,A"), 1},
        {nmea_line("GPGSV,3,1,11,01,40,083,46,02,17,308,41,03,07,344,39,04,22,228,45"), 10},
        {nmea_line("GLGSV,1,1,02,65,40,083,46,66,17,308,41"), 10},
        {nmea_line("PSRF156,1,2"), 0},
        {nmea_line("GPVTG,45.0,T,,M,10.0,N,18.5,K,A"), -1},
        {nmea_line("GXGGA,120000.00,5545.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,"), -1},
        // Too few fields: the checksum comes before the last field the parser reads.
        {nmea_line("GPGGA,120000.00,5545.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M"), -1},
        {nmea_line("GPRMC,120000.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,"), -1},
        {nmea_line("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,0.9"), -1},
        {nmea_line("GPGGAX,120000.00,5545.1234,N,03737.5678,E,1,08,0.9,150.5,M,14.0,M,,"), -1},
        {"$GPGGA", -1},
    };
    for (const auto& c : cases) {
        const auto record = parse(c.line);
        EXPECT_EQ(record ? nmea_type(*record) : -1, c.type) << c.line;
    }
}

struct apply_case {
    const char* name;
    std::vector<std::string> lines;
    uint8_t valid;
    int32_t satellites;
    double speed;
    float pdop;
    float hdop;
    uint8_t fix;
    uint8_t fix_3d;
};

TEST(nmea_apply, table) {
    const std::vector<apply_case> cases = {
        {"nothing yet", {}, 1, 0, 0.0, 50.0f, 50.0f, 0, 0},
        {"gga with satellites", {gga}, 1, 8, 0.0, 50.0f, 0.9f, 0, 0},
        {"one-digit satellite count",
         {nmea_line("GPGGA,120000,5545.1234,N,03737.5678,E,1,7,1.1,150.5,M,14.0,M,,")},
         1,
         7,
         0.0,
         50.0f,
         1.1f,
         0,
         0},
        {"gga with no satellites",
         {nmea_line("GPGGA,120000,5545.1234,N,03737.5678,E,1,00,0.9,150.5,M,14.0,M,,")},
         0,
         0,
         0.0,
         50.0f,
         0.9f,
         0,
         0},
        {"three-digit satellite count is not a count",
         {nmea_line("GPGGA,120000,5545.1234,N,03737.5678,E,1,123,0.9,150.5,M,14.0,M,,")},
         0,
         0,
         0.0,
         50.0f,
         0.9f,
         0,
         0},
        {"gga at 0,0",
         {nmea_line("GPGGA,120000,0000.0000,N,00000.0000,E,1,08,0.9,150.5,M,14.0,M,,")},
         0,
         8,
         0.0,
         50.0f,
         0.9f,
         0,
         0},
        {"gga without hdop",
         {nmea_line("GPGGA,120000,5545.1234,N,03737.5678,E,1,08,,150.5,M,14.0,M,,")},
         1,
         8,
         0.0,
         50.0f,
         0.0f,
         0,
         0},
        {"rmc speed in knots", {rmc}, 1, 0, 18.52, 50.0f, 50.0f, 0, 0},
        {"rmc void",
         {nmea_line("GPRMC,120000,V,5545.1234,N,03737.5678,E,10.0,45.0,150624,,,N")},
         0,
         0,
         18.52,
         50.0f,
         50.0f,
         0,
         0},
        {"gsa 3-d", {gsa}, 1, 0, 0.0, 1.8f, 0.9f, 1, 1},
        {"gsa 2-d", {nmea_line("GPGSA,A,2,01,02,03,,,,,,,,,,2.5,1.2,2.1")}, 1, 0, 0.0, 2.5f, 1.2f, 1, 0},
        {"gsa one-character pdop counts as missing",
         {nmea_line("GPGSA,A,1,,,,,,,,,,,,,1,1.2,2.1")},
         1,
         0,
         0.0,
         50.0f,
         1.2f,
         0,
         0},
        {"the later hdop wins",
         {gsa, nmea_line("GPGGA,120000,5545.1234,N,03737.5678,E,1,08,1.1,150.5,M,14.0,M,,"), rmc},
         1,
         8,
         18.52,
         1.8f,
         1.1f,
         1,
         1},
    };
    for (const auto& c : cases) {
        nmea_fix fix;
        for (const auto& line : c.lines) {
            const auto record = parse(line);
            ASSERT_TRUE(record) << c.name;
            apply_sentence(fix, *record);
        }
        EXPECT_EQ(fix.valid, c.valid) << c.name;
        EXPECT_EQ(fix.satellites, c.satellites) << c.name;
        EXPECT_NEAR(fix.speed, c.speed, 1e-9) << c.name;
        EXPECT_FLOAT_EQ(fix.pdop, c.pdop) << c.name;
        EXPECT_FLOAT_EQ(fix.hdop, c.hdop) << c.name;
        EXPECT_EQ(fix.fix, c.fix) << c.name;
        EXPECT_EQ(fix.fix_3d, c.fix_3d) << c.name;
    }
}

// A position the receiver itself calls void is no valid fix, whatever its coordinates and satellites: a GGA of
// fix quality 0 (none: a receiver in a tunnel repeating its last position), 7 (manual input) or 8 (simulation);
// an RMC whose mode indicator, field 12, is "N". Every other quality and mode, and an RMC of the older form
// without field 12, stays a fix.
TEST(nmea_apply, positions_the_receiver_calls_void_are_no_fix) {
    auto gga_of = [](const std::string& quality) {
        return nmea_line("GPGGA,120001.00,5545.1234,N,03737.5678,E," + quality + ",08,0.9,150.5,M,14.0,M,,");
    };
    auto rmc_of = [](const std::string& tail) {
        return nmea_line("GPRMC,120001.00,A,5545.1234,N,03737.5678,E,10.0,45.0,150624,," + tail);
    };
    const struct {
        std::string line;
        uint8_t valid;
    } cases[] = {
        {gga_of("0"), 0},
        {gga_of("7"), 0},
        {gga_of("8"), 0},
        {gga_of("1"), 1},
        {gga_of("2"), 1},
        {gga_of("4"), 1},
        {gga_of("5"), 1},
        {gga_of("6"), 1},
        {gga_of(""), 1},
        {rmc_of(",N"), 0},
        {rmc_of(",N,V"), 0}, // NMEA 4.1 adds the navigational status after the mode
        {rmc_of(",A"), 1},
        {rmc_of(",D"), 1},
        {rmc_of(",E"), 1},
        {rmc_of(",A,S"), 1},
        {rmc_of(","), 1},
        {rmc_of(""), 1}, // NMEA 2.2: no field 12
        {nmea_line("GNRMC,120001.00,A,5545.1234,N,03737.5678,E,0.0,,150624,,,N"), 0},
    };
    for (const auto& c : cases) {
        const auto record = parse(c.line);
        ASSERT_TRUE(record) << c.line;
        EXPECT_EQ(fault_of(*record), position_fault::none) << c.line;
        nmea_fix fix;
        apply_sentence(fix, *record);
        EXPECT_EQ(fix.valid, c.valid) << c.line;
        // The next sentence decides afresh.
        apply_sentence(fix, *parse(rmc));
        EXPECT_EQ(fix.valid, 1) << c.line;
    }
}

TEST(nmea_apply, time_and_date) {
    nmea_fix fix;
    apply_sentence(fix, *parse(nmea_line("GPRMC,235959.5,A,5545.1234,N,03737.5678,E,0.0,0.0,311299,,,A")));
    EXPECT_EQ(fix.time.hour, 23);
    EXPECT_EQ(fix.time.minute, 59);
    EXPECT_EQ(fix.time.second, 59);
    EXPECT_EQ(fix.time.millisecond, 500);
    EXPECT_EQ(fix.date.day, 31);
    EXPECT_EQ(fix.date.month, 12);
    EXPECT_EQ(fix.date.year, 2099);
    // A sentence without time or date keeps the last ones.
    apply_sentence(fix, *parse(nmea_line("GPRMC,,A,5545.1234,N,03737.5678,E,0.0,0.0,,,,A")));
    EXPECT_EQ(fix.time.hour, 23);
    EXPECT_EQ(fix.date.year, 2099);
    EXPECT_EQ(fix.gps_time, 0u);
}

} // namespace
} // namespace zel::gps
