#include "image/cx_image.h"
#include "image/image_memory_stream.h"
#include "tests/image/image_fixtures.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

using test::icon_entry;
using test::make_icon;
using test::make_icon_bitmap;

bool decode(CxImage& image, const std::vector<uint8_t>& bytes, uint32_t type = CXIMAGE_FORMAT_ICO) {
    image_memory_stream stream(bytes.data(), bytes.size());
    return image.Decode(&stream, type);
}

enum class mask_kind { diagonal, clear, full, missing };

// An 8 × 8 icon of 4 bits: pixel index = (x + y) % 4 (so indices 4-15 are free); the diagonal mask has the
// bits of x == y set.
std::vector<uint8_t> four_bit_bitmap(mask_kind kind = mask_kind::diagonal) {
    std::vector<uint32_t> palette(16);
    for (uint32_t i = 0; i < 16; ++i) {
        palette[i] = i * 0x101010;
    }
    std::vector<uint8_t> rows(4 * 8); // 4 bytes a row
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
            const uint8_t v = static_cast<uint8_t>((x + y) % 4);
            rows[y * 4 + x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
        }
    }
    std::vector<uint8_t> mask;
    if (kind != mask_kind::missing) {
        mask.assign(4 * 8, kind == mask_kind::full ? 0xFF : 0x00);
        if (kind == mask_kind::diagonal) {
            for (uint32_t y = 0; y < 8; ++y) {
                mask[y * 4] = static_cast<uint8_t>(0x80 >> y);
            }
        }
    }
    return make_icon_bitmap(8, 8, 4, palette, rows, mask);
}

TEST(icon_decode, indexed_icon_masks_with_a_free_index) {
    CxImage image(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(image, make_icon({{8, 8, four_bit_bitmap()}})));
    EXPECT_EQ(image.bits_per_pixel(), 4u);
    EXPECT_EQ(image.image_type(), CXIMAGE_FORMAT_ICO);
    EXPECT_EQ(image.frame_count(), 1);
    EXPECT_EQ(image.get_transparent_index(), 15);
    EXPECT_FALSE(image.has_alpha());
    EXPECT_EQ(image.get_pixel_index(3, 3), 15);
    EXPECT_EQ(image.get_pixel_index(3, 2), 1);
    EXPECT_EQ(image.get_palette_color(2).red, 0x20);
}

TEST(icon_decode, mask_cases) {
    // No mask bit set: no alpha plane, no transparency.
    CxImage clear(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(clear, make_icon({{8, 8, four_bit_bitmap(mask_kind::clear)}})));
    EXPECT_FALSE(clear.has_alpha());
    EXPECT_EQ(clear.get_transparent_index(), -1);
    // Every mask bit set: transparent index 0 and the palette inverted.
    CxImage full(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(full, make_icon({{8, 8, four_bit_bitmap(mask_kind::full)}})));
    EXPECT_EQ(full.get_transparent_index(), 0);
    EXPECT_EQ(full.get_palette_color(2).red, 0xDF);
    // No mask at all: the colours as read.
    CxImage cut(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(cut, make_icon({{8, 8, four_bit_bitmap(mask_kind::missing)}})));
    EXPECT_EQ(cut.get_pixel_index(3, 3), 2);
}

TEST(icon_decode, thirty_two_bit_icon_keeps_alpha) {
    // Blue, green, red, alpha: the same colour four times, alpha 0, 60, 120 and 180.
    const std::vector<uint8_t> pixels = {10, 20, 30, 0, 10, 20, 30, 60, 10, 20, 30, 120, 10, 20, 30, 180};
    const std::vector<uint8_t> mask = {0x40, 0, 0, 0, 0, 0, 0, 0}; // pixel (1, 0)
    CxImage image(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(image, make_icon({{2, 2, make_icon_bitmap(2, 2, 32, {}, pixels, mask)}})));
    EXPECT_EQ(image.bits_per_pixel(), 24u);
    EXPECT_EQ(image.get_pixel_color(0, 1, false), (cx_rgb_quad{10, 20, 30, 0}));
    EXPECT_EQ(image.alpha_get(0, 0), 0);
    EXPECT_EQ(image.alpha_get(1, 0), 0); // masked
    EXPECT_EQ(image.alpha_get(0, 1), 120);
    EXPECT_EQ(image.alpha_get(1, 1), 180);
}

// Width and height bytes of 0 mean 256; they used to mark a PNG entry, so a 256-pixel bitmap was decoded as
// PNG and failed, and a PNG entry of another size was read as a bitmap.
TEST(icon_decode, size_zero_means_256_and_png_is_found_by_signature) {
    const std::vector<uint8_t> rows(32 * 256, 0xFF); // 1 bit, 32 bytes a row
    const std::vector<uint8_t> mask(32 * 256, 0x00);
    CxImage big(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(big, make_icon({{0, 0, make_icon_bitmap(256, 256, 1, {0, 0xFFFFFF}, rows, mask)}})))
        << big.last_error();
    EXPECT_EQ(big.get_width(), 256u);
    EXPECT_EQ(big.get_height(), 256u);
    EXPECT_EQ(big.get_pixel_index(255, 255), 1);

    test::png_recipe recipe;
    recipe.width = 16;
    recipe.height = 16;
    recipe.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    CxImage png(CXIMAGE_FORMAT_ICO);
    ASSERT_TRUE(decode(png, make_icon({{8, 8, four_bit_bitmap()}, {16, 16, test::make_png(recipe)}}), 0));
    EXPECT_EQ(png.get_width(), 8u); // frame 0 by default
    CxImage second(CXIMAGE_FORMAT_ICO);
    second.set_frame_index(1);
    ASSERT_TRUE(decode(second, make_icon({{8, 8, four_bit_bitmap()}, {16, 16, test::make_png(recipe)}})));
    EXPECT_EQ(second.get_width(), 16u);
    EXPECT_TRUE(second.has_alpha());
    EXPECT_EQ(second.image_type(), CXIMAGE_FORMAT_ICO);
    EXPECT_EQ(second.frame_count(), 2);
}

// Entry offsets and sizes used to be trusted.
TEST(icon_decode, every_entry_must_lie_inside_the_file) {
    auto bytes = make_icon({{8, 8, four_bit_bitmap()}, {8, 8, four_bit_bitmap()}});
    auto past_end = bytes;
    past_end[6 + 16 + 12] = 0xF0; // second entry's offset far past the end
    CxImage image(CXIMAGE_FORMAT_ICO);
    EXPECT_FALSE(decode(image, past_end));
    auto too_long = bytes;
    too_long[6 + 8 + 2] = 0x10; // first entry's size beyond the file
    EXPECT_FALSE(decode(image, too_long));
    EXPECT_FALSE(image.is_valid());

    CxImage bad_index(CXIMAGE_FORMAT_ICO);
    bad_index.set_frame_index(2);
    EXPECT_FALSE(decode(bad_index, bytes));
    EXPECT_EQ(bad_index.frame_count(), 2);

    auto wrong_type = bytes;
    wrong_type[2] = 3;
    EXPECT_FALSE(decode(image, wrong_type));
    EXPECT_FALSE(decode(image, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20)));
}

TEST(icon_decode, header_only) {
    CxImage image(CXIMAGE_FORMAT_ICO);
    image.set_cancel(-1);
    ASSERT_TRUE(decode(image, make_icon({{0, 0, four_bit_bitmap()}})));
    EXPECT_EQ(image.get_width(), 256u);
    EXPECT_FALSE(image.is_valid());
}

} // namespace
} // namespace zel
