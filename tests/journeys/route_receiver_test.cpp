// The journeys' and the trial's receiver: what it answers to "fix" is what its sentences carry, read back through
// the program's own NMEA parser from the pseudo-terminal; a loop goes on from its last point to its first; route
// files are read (points, drives at a speed, stands) or refused by line.
#include "tools/gps_receiver/route_receiver.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "gps/nmea_parser.h"
#include "tests/support/temp_folder.h"

namespace zel::test {
namespace {

using nmea_tools::read_route;
using nmea_tools::route_point;
using nmea_tools::route_receiver;

// The pseudo-terminal's other side as the program reads it: raw bytes, sentences applied to one fix.
class receiver_reader {
public:
    explicit receiver_reader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK)) {
        termios raw{};
        ::tcgetattr(fd_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(fd_, TCSANOW, &raw);
    }
    ~receiver_reader() {
        ::close(fd_);
    }
    // Reads until a GGA and an RMC both carry this position at this time of day, seconds since midnight (a
    // safety limit, not a timing).
    bool reaches(double latitude, double longitude, int seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        bool gga = false, rmc = false;
        while (std::chrono::steady_clock::now() < end) {
            char bytes[512];
            const ssize_t n = ::read(fd_, bytes, sizeof bytes);
            if (n <= 0) {
                ::usleep(5000);
                continue;
            }
            buffer_.append(bytes, static_cast<size_t>(n));
            std::string sentence;
            for (gps::extract_result got;
                 (got = gps::extract_sentence(buffer_, sentence)) != gps::extract_result::need_more;) {
                const auto parsed = got == gps::extract_result::sentence ? gps::parse_sentence(sentence) : std::nullopt;
                if (!parsed) {
                    continue;
                }
                gps::apply_sentence(fix, *parsed);
                // The answer has eight decimals.
                const bool here = fix.valid && std::fabs(fix.latitude - latitude) < 0.00000001 &&
                                  std::fabs(fix.longitude - longitude) < 0.00000001 &&
                                  fix.time.hour * 3600 + fix.time.minute * 60 + fix.time.second == seconds;
                const int type = gps::nmea_type(*parsed);
                gga = here && (gga || type == 8);
                rmc = here && (rmc || type == 1);
                if (gga && rmc) {
                    return true;
                }
            }
        }
        return false;
    }

    gps::nmea_fix fix;

private:
    int fd_;
    std::string buffer_;
};

std::pair<double, double> position_of(const std::string& answer) {
    double latitude = 0, longitude = 0;
    EXPECT_EQ(std::sscanf(answer.c_str(), "%lf %lf", &latitude, &longitude), 2) << answer;
    return {latitude, longitude};
}

TEST(route_receiver, answers_the_position_its_sentences_carry_with_the_speed_of_the_step) {
    struct route_case {
        const char* what;
        route_point from, to;
        double metres; // between the two points
    };
    const route_case cases[] = {
        {"north-east, 100 m north", {55.7520567, 37.6261300}, {55.7529560, 37.6261300}, 100.0},
        {"south-west, 50 m west", {-33.4488970, -70.6692650}, {-33.4488970, -70.6698036}, 50.0},
        {"minutes rounding up to the next degree", {55.99999999, 37.99999999}, {55.99999999, 37.99999999}, 0.0},
    };
    for (const route_case& c : cases) {
        SCOPED_TRACE(c.what);
        route_receiver receiver({c.from, c.to}, 1600056300);
        receiver_reader reader(receiver.path());
        const auto [latitude, longitude] = position_of(receiver.next());
        EXPECT_NEAR(latitude, c.to.latitude, 0.0000002);
        EXPECT_NEAR(longitude, c.to.longitude, 0.0000002);
        const int first_second = (1600056300 + 1) % 86400;
        ASSERT_TRUE(reader.reaches(latitude, longitude, first_second))
            << "the sentences never carried " << latitude << " " << longitude;
        EXPECT_NEAR(reader.fix.speed, c.metres * 3.6, c.metres * 3.6 * 0.01 + 0.1) << "km/h over one second";
        EXPECT_TRUE(reader.fix.fix_3d);
        // Past the end the last point stays, standing.
        EXPECT_EQ(position_of(receiver.next()), std::make_pair(latitude, longitude));
        ASSERT_TRUE(reader.reaches(latitude, longitude, first_second + 1));
        EXPECT_EQ(reader.fix.speed, 0.0);
    }
}

TEST(route_receiver, route_files_are_read_or_refused_by_line) {
    temp_folder folder;
    const auto good = folder.write("good", "# a short route\n55.75 37.62\n\n  55.751 37.621\r\n");
    const auto route = read_route(good);
    ASSERT_EQ(route.size(), 2u);
    EXPECT_EQ(route[1].latitude, 55.751);
    EXPECT_EQ(route[1].longitude, 37.621);
    for (const char* bad :
         {"55.75\n", "55.75 37.62 10\n", "north east\n", "91 37.62\n", "55.75 181\n", "drive 55.76 37.62\n",
          "drive 55.76 37.62 0\n", "drive 55.76 37.62 301\n", "drive 91 37.62 40\n", "drive 55.76 37.62 40 5\n",
          "stand\n", "stand -1\n", "stand 1.5\n", "stand 604800\n"}) {
        const auto file = folder.write("bad", std::string("55.75 37.62\n") + bad);
        try {
            read_route(file);
            ADD_FAILURE() << "read: " << bad;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(":2: "), std::string::npos) << error.what();
        }
    }
}

TEST(route_receiver, drives_at_the_speed_given_and_stands_the_seconds_given) {
    temp_folder folder;
    // 100 m north at 36 km/h: ten points of 10 m; then three seconds standing; then one point more.
    const auto route = read_route(folder.write("route", "55.7520567 37.6261300\n"
                                                        "drive 55.7529560 37.6261300 36\n"
                                                        "stand 3\n"
                                                        "# the next corner\n"
                                                        "55.7529560 37.6262900\n"));
    ASSERT_EQ(route.size(), 1u + 10 + 3 + 1);
    for (size_t i = 1; i <= 10; ++i) {
        EXPECT_NEAR(route[i].latitude - route[i - 1].latitude, 0.0000899, 0.0000001) << "point " << i;
        EXPECT_EQ(route[i].longitude, 37.6261300) << "point " << i;
    }
    EXPECT_EQ(route[10].latitude, 55.7529560);
    for (size_t i = 11; i <= 13; ++i) {
        EXPECT_EQ(route[i].latitude, route[10].latitude) << "point " << i;
        EXPECT_EQ(route[i].longitude, route[10].longitude) << "point " << i;
    }
    EXPECT_EQ(route[14].longitude, 37.6262900);
    // A drive or a stand needs a point to start from.
    for (const char* first : {"stand 5\n", "drive 55.75 37.62 40\n"}) {
        try {
            read_route(folder.write("no_start", first));
            ADD_FAILURE() << "read: " << first;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(":1: "), std::string::npos) << error.what();
        }
    }
}

TEST(route_receiver, a_loop_goes_on_from_its_last_point_to_its_first) {
    const route_point first{55.7520567, 37.6261300};
    const route_point last{55.7529560, 37.6261300}; // 100 m north
    route_receiver receiver({first, last}, 1600056300, route_receiver::at_end::loop);
    receiver_reader reader(receiver.path());
    const auto [last_latitude, last_longitude] = position_of(receiver.next());
    ASSERT_TRUE(reader.reaches(last_latitude, last_longitude, (1600056300 + 1) % 86400));
    const auto [latitude, longitude] = position_of(receiver.next());
    EXPECT_NEAR(latitude, first.latitude, 0.0000002);
    EXPECT_NEAR(longitude, first.longitude, 0.0000002);
    ASSERT_TRUE(reader.reaches(latitude, longitude, (1600056300 + 2) % 86400));
    EXPECT_NEAR(reader.fix.speed, 360.0, 3.7) << "km/h back over the 100 m in one second";
}

} // namespace
} // namespace zel::test
