#include "image/image_memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zel {
namespace {

const uint8_t ten[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(image_memory_stream, reads_whole_items_and_stops_at_the_end) {
    image_memory_stream s(ten, sizeof ten);
    uint8_t out[12] = {};
    EXPECT_EQ(s.read(out, 4, 3), 2u);
    EXPECT_EQ(std::memcmp(out, ten, 10), 0);
    EXPECT_EQ(s.read(out, 1, 1), 0u);
    EXPECT_TRUE(s.eof());
    EXPECT_EQ(s.get_byte(), -1);
    // An item count whose byte count overflows reads nothing.
    s.seek(0, 0);
    EXPECT_EQ(s.read(out, SIZE_MAX / 2, 4), 0u);
    EXPECT_EQ(s.tell(), 0);
}

TEST(image_memory_stream, seek_clamps_below_zero_and_flags_past_the_end) {
    image_memory_stream s(ten, sizeof ten);
    EXPECT_TRUE(s.seek(-5, 0));
    EXPECT_EQ(s.tell(), 0);
    EXPECT_EQ(s.error(), 0);
    EXPECT_TRUE(s.seek(20, 0));
    EXPECT_EQ(s.tell(), 20);
    EXPECT_NE(s.error(), 0);
    uint8_t b;
    EXPECT_EQ(s.read(&b, 1, 1), 0u);
    EXPECT_TRUE(s.seek(-3, 2));
    EXPECT_EQ(s.get_byte(), 7);
    EXPECT_FALSE(s.seek(0, 3));
    // A position that would overflow is refused and the stream stays where it was.
    EXPECT_FALSE(s.seek(INT64_MAX, 1));
    EXPECT_EQ(s.tell(), 8);
}

TEST(image_memory_stream, a_callers_buffer_is_never_written) {
    uint8_t bytes[4] = {1, 2, 3, 4};
    image_memory_stream s(bytes, sizeof bytes);
    const uint8_t data[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(s.write(data, 1, 2), 0u);
    s.seek(3, 0);
    EXPECT_EQ(s.write(data, 1, 8), 0u);
    EXPECT_FALSE(s.put_byte(7));
    EXPECT_FALSE(s.reserve(100));
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[3], 4);
    EXPECT_EQ(s.size(), 4);
}

TEST(image_memory_stream, owned_buffer_grows_in_64k_steps) {
    image_memory_stream s(nullptr, 0);
    const uint8_t data[3] = {7, 8, 9};
    EXPECT_EQ(s.write(data, 1, 3), 0u);
    EXPECT_FALSE(s.put_byte(1));
    EXPECT_EQ(s.tell(), -1);
    EXPECT_EQ(s.size(), -1);
    EXPECT_EQ(s.error(), -1);
    EXPECT_TRUE(s.reserve(1));
    EXPECT_EQ(s.write(data, 1, 3), 3u);
    EXPECT_TRUE(s.put_byte(10));
    EXPECT_EQ(s.size(), 4);
    EXPECT_TRUE(s.reserve(65536));
    EXPECT_TRUE(s.seek(65536, 0));
    EXPECT_TRUE(s.put_byte(1)); // grows to 131072
    EXPECT_EQ(s.size(), 65537);
    EXPECT_EQ(s.data()[3], 10);
    EXPECT_TRUE(s.close());
    EXPECT_EQ(s.size(), -1);
}

TEST(image_memory_stream, get_line_always_terminates) {
    const uint8_t text[5] = {'a', 'b', '\n', 'c', 'd'};
    image_memory_stream s(text, sizeof text);
    char line[10];
    std::memset(line, 'x', sizeof line);
    ASSERT_EQ(s.get_line(line, 10), line);
    EXPECT_STREQ(line, "ab\n");
    std::memset(line, 'x', sizeof line);
    EXPECT_EQ(s.get_line(line, 10), nullptr);
    EXPECT_STREQ(line, "cd");
    s.seek(0, 0);
    ASSERT_EQ(s.get_line(line, 2), line);
    EXPECT_STREQ(line, "a");
    ASSERT_EQ(s.get_line(line, 1), line);
    EXPECT_STREQ(line, "");
}

} // namespace
} // namespace zel
