// The track recorder and its ".trk" files: the bytes of a batch from a table of points, the accuracy filter,
// appending in the same second, pruning to the newest 100, the flush of the exit paths, and the reader.
#include "foundation/manual_clock.h"
#include "gps/track_file.h"
#include "gps/track_recorder.h"
#include "tests/gps/tracks/hex_bytes.h"
#include "tests/gps/tracks/upload_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zel::gps {
namespace {

using test::file_bytes;
using test::hex_bytes;
using test::names_in;
using test::temp_folder;

location point(double latitude, double longitude, double altitude, float speed, float accuracy, uint64_t gps_time,
               int32_t satellites, int32_t course, uint8_t flag) {
    location l;
    l.latitude = latitude;
    l.longitude = longitude;
    l.altitude = altitude;
    l.speed = speed;
    l.accuracy = accuracy;
    l.gps_time = gps_time;
    l.satellites = satellites;
    l.course = course;
    l.flag = flag;
    return l;
}

// Each point with its 30-byte record.
struct point_case {
    location point;
    const char* record;
};

const point_case points[] = {
    // Latitude truncated toward zero, a negative longitude in two's complement, speed 300 kept as 44, the
    // accuracy 19.9 (the largest kept) as 199 twice.
    {point(55.7520566, -37.6175, 150.7, 300.0f, 19.9f, 1400000000123ULL, 9, 271, 2),
     "21 3B 16 B6 E9 94 06 68 00 00 00 96 2C 00 C7 00 C7 00 00 01 45 F6 80 B0 7B 09 01 0F 02 02"},
    // Values near zero truncate toward it; satellites and course keep their low bits.
    {point(-0.0000001, 179.9999999, -12.9, 0.9f, 0.5f, 0, 300, 360, 0),
     "FF FF FF FF 6B 49 D1 FF FF FF FF F4 00 00 05 00 05 00 00 00 00 00 00 00 00 2C 01 68 02 00"},
    // Values out of every range saturate and NaN gives 0, where a plain conversion would be undefined.
    {point(1e10, std::nan(""), -1e12, -1.0f, 1.0f, std::numeric_limits<uint64_t>::max(), -1, 65537, 2),
     "7F FF FF FF 00 00 00 00 80 00 00 00 FF 00 0A 00 0A FF FF FF FF FF FF FF FF FF 00 01 02 02"},
};

struct recorder_fixture : ::testing::Test {
    manual_clock clock{1'600'000'000'000LL};
    temp_folder folder;
    std::filesystem::path track = folder.path() / "track";

    std::string trk(int64_t second) {
        return file_bytes(track / (std::to_string(second) + ".trk"));
    }
};

TEST_F(recorder_fixture, a_full_batch_is_written_byte_for_byte) {
    track_recorder recorder(3, 30, track);
    ASSERT_TRUE(std::filesystem::is_directory(track));
    std::string expected = hex_bytes("00 00 00 00 00 00 00 00 03 00");
    for (const point_case& c : points) {
        EXPECT_EQ(encode_track_batch({c.point}).substr(10), hex_bytes(c.record));
        expected += hex_bytes(c.record);
        location inaccurate = c.point;
        inaccurate.accuracy = 20.0f;
        recorder.add(inaccurate); // ignored: 20.0 is not accurate enough
        EXPECT_TRUE(names_in(track).empty());
        recorder.add(c.point);
    }
    EXPECT_EQ(recorder.pending(), 0u);
    EXPECT_EQ(names_in(track), std::vector<std::string>{"1600000000.trk"});
    EXPECT_EQ(trk(1600000000), expected);
}

TEST_F(recorder_fixture, a_batch_of_the_same_second_is_appended_with_its_own_header) {
    track_recorder recorder(1, 30, track);
    recorder.add(points[0].point);
    recorder.add(points[1].point);
    const std::string header = hex_bytes("00 00 00 00 00 00 00 00 01 00");
    EXPECT_EQ(trk(1600000000), header + hex_bytes(points[0].record) + header + hex_bytes(points[1].record));

    clock.advance_ms(1000);
    recorder.add(points[2].point);
    EXPECT_EQ(trk(1600000001), header + hex_bytes(points[2].record));

    std::vector<std::vector<track_record>> batches;
    std::string error;
    ASSERT_TRUE(read_track_file(trk(1600000000), batches, error)) << error;
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0], std::vector<track_record>{to_track_record(points[0].point)});
    EXPECT_EQ(batches[1], std::vector<track_record>{to_track_record(points[1].point)});
}

TEST_F(recorder_fixture, a_write_keeps_the_newest_100_files_by_their_number) {
    std::filesystem::create_directories(track / "rejected");
    test::write_bytes(track / "uuid", "0123456789abcdef0123456789abcdef");
    // 105 files whose names grow a digit halfway: name order would keep the wrong ones.
    for (int64_t second = 999'999'950; second < 1'000'000'055; ++second) {
        test::write_bytes(track / (std::to_string(second) + ".trk"), "x");
    }
    track_recorder recorder(1, 30, track);
    recorder.add(points[0].point);

    const std::vector<std::string> names = names_in(track);
    EXPECT_EQ(names.size(), 103u) << "100 kept, the new file, uuid and the rejected folder";
    for (int64_t second = 999'999'950; second < 999'999'955; ++second) {
        EXPECT_EQ(trk(second), "(missing)") << second;
    }
    EXPECT_EQ(trk(999'999'955), "x");
    EXPECT_EQ(trk(1'000'000'054), "x");
    EXPECT_EQ(trk(1'600'000'000).size(), 40u);
    EXPECT_TRUE(std::filesystem::is_directory(track / "rejected"));
}

TEST_F(recorder_fixture, flush_writes_the_pending_points_and_a_full_batch_writes_itself) {
    track_recorder recorder(100, 30, track);
    for (int i = 0; i < 5; ++i) {
        recorder.add(points[0].point);
    }
    EXPECT_TRUE(names_in(track).empty()) << "a batch short of 100 waits";
    recorder.flush();
    EXPECT_EQ(trk(1600000000).size(), 10u + 5 * 30);
    EXPECT_EQ(recorder.pending(), 0u);
    recorder.flush();
    EXPECT_EQ(trk(1600000000).size(), 10u + 5 * 30) << "nothing pending, nothing written";

    clock.advance_ms(1000);
    for (int i = 0; i < 100; ++i) {
        recorder.add(points[1].point);
    }
    EXPECT_EQ(trk(1600000001).size(), 10u + 3000);
    EXPECT_EQ(recorder.pending(), 0u);
}

TEST(track_file, the_reader_names_damage_and_keeps_the_whole_batches) {
    const std::string header = hex_bytes("00 00 00 00 00 00 00 00 01 00");
    const std::string batch = header + hex_bytes(points[0].record);
    struct reader_case {
        const char* what;
        std::string bytes;
        bool valid;
        size_t batches;
        const char* fault;
    };
    const reader_case cases[] = {
        {"empty", "", true, 0, ""},
        {"two batches", batch + batch, true, 2, ""},
        {"an empty batch", hex_bytes("00 00 00 00 00 00 00 00 00 00") + batch, true, 2, ""},
        {"header cut", batch + header.substr(0, 9), false, 1, "inside a batch header"},
        {"record cut", batch + batch.substr(0, 39), false, 1, "cut short"},
        {"count beyond the bytes", hex_bytes("00 00 00 00 00 00 00 00 FF FF"), false, 0, "cut short"},
        {"no zero bytes", batch + hex_bytes("01") + batch.substr(1), false, 1, "8 zero bytes"},
    };
    for (const reader_case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::vector<track_record>> batches;
        std::string error;
        EXPECT_EQ(read_track_file(c.bytes, batches, error), c.valid);
        EXPECT_EQ(batches.size(), c.batches);
        EXPECT_NE(error.find(c.fault), std::string::npos) << error;
    }
}

} // namespace
} // namespace zel::gps
