#include "image/cx_image.h"
#include "image/image_memory_stream.h"
#include "image/jpeg/exif_reader.h"
#include "image/jpeg/jpeg_image.h"
#include "tests/image/image_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace zel {
namespace {

// Top half red, bottom half blue; rows of 16 pixels.
uint8_t halves(uint32_t, uint32_t y, int c) {
    const bool top = y < 8;
    return c == 0 ? (top ? 255 : 0) : c == 2 ? (top ? 0 : 255) : 0;
}

bool near(int a, int b) {
    return std::abs(a - b) <= 6;
}

std::vector<uint8_t> with_exif(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& block) {
    std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1};
    const size_t length = block.size() + 2;
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// Little-endian EXIF block writer: "Exif\0\0", TIFF header, then directories laid out by the caller.
struct tiff_writer {
    static constexpr uint8_t header[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    std::vector<uint8_t> bytes = std::vector<uint8_t>(std::begin(header), std::end(header));
    void u16(uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void entry(uint16_t tag, uint16_t format, uint32_t count, uint32_t value) {
        u16(tag);
        u16(format);
        u32(count);
        u32(value);
    }
};

TEST(jpeg_decode, colour_rows_come_out_bottom_up_bgr) {
    const auto bytes = test::make_jpeg(16, 16, 3, halves, 100);
    CxImage image(CXIMAGE_FORMAT_JPG);
    image_memory_stream stream(bytes.data(), bytes.size());
    ASSERT_TRUE(image.Decode(&stream, CXIMAGE_FORMAT_JPG)) << image.last_error();
    EXPECT_EQ(image.bits_per_pixel(), 24u);
    EXPECT_EQ(image.image_type(), CXIMAGE_FORMAT_JPG);
    const cx_rgb_quad top = image.get_pixel_color(3, 15);
    const cx_rgb_quad bottom = image.get_pixel_color(3, 0);
    EXPECT_TRUE(near(top.red, 255) && near(top.blue, 0)) << int(top.red) << " " << int(top.blue);
    EXPECT_TRUE(near(bottom.red, 0) && near(bottom.blue, 255)) << int(bottom.red) << " " << int(bottom.blue);
    EXPECT_EQ(image.row_bits(0)[0], bottom.blue); // stored blue first
}

TEST(jpeg_decode, grey_scaled_and_header_only) {
    const auto grey = test::make_jpeg(16, 8, 1, [](uint32_t x, uint32_t, int) { return x < 8 ? 40 : 200; });
    CxImage image(CXIMAGE_FORMAT_JPG);
    image_memory_stream stream(grey.data(), grey.size());
    ASSERT_TRUE(image.Decode(&stream, CXIMAGE_FORMAT_JPG)) << image.last_error();
    EXPECT_EQ(image.bits_per_pixel(), 8u);
    EXPECT_EQ(image.get_palette_color(200).red, 200);
    EXPECT_TRUE(near(image.get_pixel_index(1, 1), 40));
    EXPECT_TRUE(near(image.get_pixel_index(14, 1), 200));

    const auto colour = test::make_jpeg(16, 16, 3, halves);
    CxImage options(CXIMAGE_FORMAT_JPG);
    options.set_codec_option(jpeg_image::option_gray, CXIMAGE_FORMAT_JPG);
    options.set_jpeg_scale(2);
    image_memory_stream colour_stream(colour.data(), colour.size());
    ASSERT_TRUE(options.Decode(&colour_stream, CXIMAGE_FORMAT_JPG)) << options.last_error();
    EXPECT_EQ(options.bits_per_pixel(), 8u);
    EXPECT_EQ(options.get_width(), 8u);

    CxImage header(CXIMAGE_FORMAT_JPG);
    header.set_cancel(-1);
    colour_stream.seek(0, 0);
    ASSERT_TRUE(header.Decode(&colour_stream, CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(header.get_width(), 16u);
    EXPECT_EQ(header.image_type(), CXIMAGE_FORMAT_JPG);
    EXPECT_FALSE(header.is_valid());
}

TEST(jpeg_decode, resolution_from_jfif_density) {
    struct density_case {
        uint8_t unit;
        uint16_t x, y;
        int32_t dpi_x, dpi_y;
    };
    const density_case cases[] = {{1, 300, 150, 300, 150}, {2, 118, 118, 300, 300}, {0, 1, 2, 96, 192}};
    for (const auto& c : cases) {
        auto bytes = test::make_jpeg(8, 8, 1, [](uint32_t, uint32_t, int) { return 9; });
        ASSERT_EQ(std::memcmp(bytes.data() + 6, "JFIF", 4), 0);
        bytes[13] = c.unit;
        bytes[14] = static_cast<uint8_t>(c.x >> 8);
        bytes[15] = static_cast<uint8_t>(c.x);
        bytes[16] = static_cast<uint8_t>(c.y >> 8);
        bytes[17] = static_cast<uint8_t>(c.y);
        CxImage image(CXIMAGE_FORMAT_JPG);
        image_memory_stream stream(bytes.data(), bytes.size());
        ASSERT_TRUE(image.Decode(&stream, CXIMAGE_FORMAT_JPG));
        EXPECT_EQ(image.get_dpi_x(), c.dpi_x);
        EXPECT_EQ(image.get_dpi_y(), c.dpi_y);
    }
}

TEST(jpeg_decode, exif_tags_and_resolution) {
    tiff_writer t;
    // IFD0 at 8: make, orientation, x resolution, resolution unit, EXIF pointer; next link 0.
    t.u16(5);
    t.entry(271, 2, 4, 'C' | 'a' << 8 | 'm' << 16);
    t.entry(274, 3, 1, 6);
    t.entry(282, 5, 1, 8 + 2 + 5 * 12 + 4);
    t.entry(296, 3, 1, 2);
    t.entry(34665, 4, 1, 8 + 2 + 5 * 12 + 4 + 8);
    t.u32(0);
    t.u32(200); // the rational 200/1 at offset 74
    t.u32(1);
    // EXIF directory at 82: exposure time 1/100 (rational at 82 + 2 + 24 + 4 = 112), user comment.
    t.u16(2);
    t.entry(33434, 5, 1, 112);
    t.entry(37510, 7, 13, 120);
    t.u32(0);
    t.u32(1);
    t.u32(100);
    for (char c : std::string("ASCII\0\0\0hello", 13)) {
        t.bytes.push_back(static_cast<uint8_t>(c));
    }
    const auto bytes = with_exif(test::make_jpeg(8, 8, 3, halves), t.bytes);
    jpeg_image image;
    image_memory_stream stream(bytes.data(), bytes.size());
    ASSERT_TRUE(image.decode(&stream)) << image.last_error();
    EXPECT_TRUE(image.exif().is_exif);
    EXPECT_STREQ(image.exif().camera_make, "Cam");
    EXPECT_EQ(image.exif().orientation, 6);
    EXPECT_FLOAT_EQ(image.exif().exposure_time, 0.01f);
    EXPECT_STREQ(image.exif().comments, "hello");
    EXPECT_EQ(image.exif().width, 8);
    EXPECT_TRUE(image.exif().is_color);
    EXPECT_EQ(image.get_dpi_x(), 200);
}

// Sections and EXIF values used to be read as far as the file claimed; with sizes computed in 32 bits a huge
// count even wrapped to a small one. Each of these must be refused without reading past the block (ASan
// checks the reads).
TEST(jpeg_decode, exif_lengths_are_checked) {
    struct exif_case {
        uint16_t format;
        uint32_t count;
        uint32_t offset;
        const char* error;
    };
    const exif_case cases[] = {
        {5, 0x20000000, 8, "Illegal pointer offset value in EXIF."},  // 8 × 2^29 wraps to 0 in 32 bits
        {2, 16, 0xFFFFFFF8, "Illegal pointer offset value in EXIF."}, // offset + size wraps
        {13, 1, 0, "Illegal format code in EXIF dir"},
    };
    for (const auto& c : cases) {
        tiff_writer t;
        t.u16(1);
        t.entry(271, c.format, c.count, c.offset);
        t.u32(0);
        exif_reader reader;
        EXPECT_FALSE(reader.parse_exif_block(t.bytes.data(), t.bytes.size()));
        EXPECT_STREQ(reader.last_error(), c.error);
    }
    tiff_writer huge;
    huge.u16(0xFFFF); // more entries than the block holds
    exif_reader reader;
    EXPECT_FALSE(reader.parse_exif_block(huge.bytes.data(), huge.bytes.size()));
    EXPECT_STREQ(reader.last_error(), "Illegally sized directory");

    // A directory that links to itself from many entries ends within the directory budget.
    tiff_writer loop;
    loop.u16(200);
    for (int i = 0; i < 200; ++i) {
        loop.entry(34665, 4, 1, 8);
    }
    loop.u32(0);
    exif_reader looping;
    EXPECT_FALSE(looping.parse_exif_block(loop.bytes.data(), loop.bytes.size()));

    // Short frame header and short APP1 "Exif" sections are skipped, not read past.
    const uint8_t* sections[] = {
        reinterpret_cast<const uint8_t*>("\xFF\xD8\xFF\xC0\x00\x03\x08\xFF\xDA\x00\x02"),
        reinterpret_cast<const uint8_t*>("\xFF\xD8\xFF\xE1\x00\x08"
                                         "Exif\0\0"
                                         "\xFF\xDA\x00\x02"),
    };
    const size_t lengths[] = {11, 16};
    for (int i = 0; i < 2; ++i) {
        exif_info info{};
        exif_reader walker(&info);
        std::vector<uint8_t> copy(sections[i], sections[i] + lengths[i]);
        image_memory_stream stream(copy.data(), copy.size());
        EXPECT_TRUE(walker.read_jpeg_sections(&stream, exif_reader::parse_exif)) << i;
        EXPECT_EQ(info.width, 0);
    }
}

// Counts the reads made after the data ran out.
class counting_stream : public image_memory_stream {
public:
    using image_memory_stream::image_memory_stream;
    size_t read(void* buffer, size_t size, size_t count) override {
        const size_t n = image_memory_stream::read(buffer, size, count);
        empty_reads += n == 0 ? 1 : 0;
        return n;
    }
    size_t empty_reads = 0;
};

// Skipping a long section at the end of input used to refill the buffer with a fake end marker two bytes at
// a time until the whole length was skipped.
TEST(jpeg_decode, skipping_stops_at_the_end_of_input) {
    const std::vector<uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xE5, 0xFF, 0xFF, 1, 2, 3};
    CxImage image(CXIMAGE_FORMAT_JPG);
    counting_stream stream(bytes.data(), bytes.size());
    EXPECT_FALSE(image.Decode(&stream, CXIMAGE_FORMAT_JPG));
    EXPECT_LT(stream.empty_reads, 10u);
    EXPECT_NE(std::string(image.last_error()), "");
}

TEST(jpeg_decode, broken_files_fail_or_decode_without_harm) {
    auto bytes = test::make_jpeg(16, 16, 3, halves);
    // A frame header that claims 20000 × 20000 pixels is refused before anything is allocated for it.
    auto big = bytes;
    for (size_t i = 2; i + 8 < big.size(); ++i) {
        if (big[i] == 0xFF && big[i + 1] == 0xC0) {
            big[i + 5] = 0x4E;
            big[i + 6] = 0x20;
            big[i + 7] = 0x4E;
            big[i + 8] = 0x20;
            break;
        }
    }
    CxImage image(CXIMAGE_FORMAT_JPG);
    image_memory_stream big_stream(big.data(), big.size());
    EXPECT_FALSE(image.Decode(&big_stream, CXIMAGE_FORMAT_JPG));
    EXPECT_STREQ(image.last_error(), "CXIMAGE_MAX_MEMORY exceeded");

    image_memory_stream empty(bytes.data(), 0);
    EXPECT_FALSE(image.Decode(&empty, CXIMAGE_FORMAT_JPG));

    // Cut in the middle of the scan: libjpeg completes the picture from what it has.
    image_memory_stream cut(bytes.data(), bytes.size() - 10);
    EXPECT_TRUE(image.Decode(&cut, CXIMAGE_FORMAT_JPG)) << image.last_error();
    EXPECT_EQ(image.get_width(), 16u);
}

} // namespace
} // namespace zel
