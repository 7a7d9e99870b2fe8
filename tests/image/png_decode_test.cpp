#include "image/cx_image.h"
#include "image/image_memory_stream.h"
#include "tests/image/image_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zel {
namespace {

using test::make_png;
using test::png_recipe;

bool decode(CxImage& image, const std::vector<uint8_t>& bytes, uint32_t type = CXIMAGE_FORMAT_PNG) {
    image_memory_stream stream(bytes.data(), bytes.size());
    return image.Decode(&stream, type);
}

std::vector<png_color> test_palette(size_t n) {
    std::vector<png_color> palette;
    for (size_t i = 0; i < n; ++i) {
        palette.push_back(
            png_color{static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    }
    return palette;
}

std::string name(const png_recipe& recipe) {
    return "type " + std::to_string(recipe.color_type) + " depth " + std::to_string(recipe.bit_depth) +
           (recipe.interlaced ? " interlaced" : "");
}

// Checks every pixel of a decode against the samples that made the file.
void expect_pixels(const CxImage& image, const png_recipe& recipe) {
    const int shift = recipe.bit_depth == 16 ? 8 : 0;
    const int channels = test::png_channels(recipe.color_type);
    ASSERT_EQ(image.get_width(), recipe.width);
    ASSERT_EQ(image.get_height(), recipe.height);
    const bool alpha = recipe.color_type == PNG_COLOR_TYPE_GRAY_ALPHA || recipe.color_type == PNG_COLOR_TYPE_RGB_ALPHA;
    EXPECT_EQ(image.has_alpha(), alpha);
    for (uint32_t y = 0; y < recipe.height; ++y) {
        const uint32_t row = recipe.height - 1 - y; // the first stored row is the file's last
        for (uint32_t x = 0; x < recipe.width; ++x) {
            const auto s = [&](int c) { return static_cast<uint8_t>(test::pattern_sample(recipe, x, y, c) >> shift); };
            if (recipe.color_type == PNG_COLOR_TYPE_RGB || recipe.color_type == PNG_COLOR_TYPE_RGB_ALPHA) {
                const cx_rgb_quad c = image.get_pixel_color(x, row, false);
                ASSERT_EQ(c.red, s(0)) << name(recipe) << " at " << x << "," << y;
                ASSERT_EQ(c.green, s(1));
                ASSERT_EQ(c.blue, s(2));
            } else {
                ASSERT_EQ(image.get_pixel_index(x, row), s(0)) << name(recipe) << " at " << x << "," << y;
            }
            if (alpha) {
                ASSERT_EQ(image.alpha_get(x, row), s(channels - 1)) << name(recipe);
            }
        }
    }
}

TEST(png_decode, every_color_type_and_depth) {
    const std::pair<int, int> kinds[] = {
        {PNG_COLOR_TYPE_GRAY, 1},        {PNG_COLOR_TYPE_GRAY, 2},      {PNG_COLOR_TYPE_GRAY, 4},
        {PNG_COLOR_TYPE_GRAY, 8},        {PNG_COLOR_TYPE_GRAY, 16},     {PNG_COLOR_TYPE_RGB, 8},
        {PNG_COLOR_TYPE_RGB, 16},        {PNG_COLOR_TYPE_PALETTE, 1},   {PNG_COLOR_TYPE_PALETTE, 2},
        {PNG_COLOR_TYPE_PALETTE, 4},     {PNG_COLOR_TYPE_PALETTE, 8},   {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16},
    };
    for (auto [type, depth] : kinds) {
        png_recipe recipe;
        recipe.width = 13;
        recipe.height = 9;
        recipe.color_type = type;
        recipe.bit_depth = depth;
        if (type == PNG_COLOR_TYPE_PALETTE) {
            recipe.palette = test_palette(std::min(1 << depth, 200));
        }
        CxImage plain(CXIMAGE_FORMAT_PNG);
        ASSERT_TRUE(decode(plain, make_png(recipe))) << name(recipe) << ": " << plain.last_error();
        expect_pixels(plain, recipe);
        EXPECT_EQ(plain.codec_option(CXIMAGE_FORMAT_PNG), 0u);

        const uint32_t want_bits = type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGB_ALPHA ? 24
                                   : depth >= 8 || type == PNG_COLOR_TYPE_GRAY_ALPHA              ? 8
                                   : depth == 2                                                   ? 4
                                                                                                  : depth;
        EXPECT_EQ(plain.bits_per_pixel(), want_bits) << name(recipe);
        if (type == PNG_COLOR_TYPE_PALETTE) {
            for (size_t i = 0; i < recipe.palette.size() && i < plain.header().clr_used; ++i) {
                const cx_rgb_quad c = plain.get_palette_color(static_cast<uint32_t>(i));
                EXPECT_EQ(c.red, recipe.palette[i].red);
                EXPECT_EQ(c.green, recipe.palette[i].green);
                EXPECT_EQ(c.blue, recipe.palette[i].blue);
            }
        } else if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
            const uint32_t top = depth >= 8 || type == PNG_COLOR_TYPE_GRAY_ALPHA ? 255 : (1u << depth) - 1;
            EXPECT_EQ(plain.get_palette_color(top).red, 255) << name(recipe);
            EXPECT_EQ(plain.get_palette_color(1).red, depth == 1 ? 255 : depth == 2 ? 85 : depth == 4 ? 17 : 1);
        }

        recipe.interlaced = true;
        CxImage interlaced(CXIMAGE_FORMAT_PNG);
        ASSERT_TRUE(decode(interlaced, make_png(recipe))) << name(recipe) << ": " << interlaced.last_error();
        expect_pixels(interlaced, recipe);
        EXPECT_EQ(interlaced.codec_option(CXIMAGE_FORMAT_PNG), 1u);
        // Interlaced and plain twins decode to the same pixels, padding included.
        EXPECT_EQ(std::memcmp(interlaced.row_bits(0), plain.row_bits(0), plain.header().size_image), 0) << name(recipe);
    }
}

// Rows of fewer than eight bits a pixel end inside a byte, and every DIB row is padded to four bytes: those bits
// are zero, however the file was laid out and whatever the memory held before the decode.
TEST(png_decode, bits_after_the_last_pixel_of_a_row_are_zero) {
    struct tail_case {
        int color_type;
        int bit_depth;
    };
    const tail_case kinds[] = {{PNG_COLOR_TYPE_GRAY, 1},    {PNG_COLOR_TYPE_GRAY, 2},    {PNG_COLOR_TYPE_GRAY, 4},
                               {PNG_COLOR_TYPE_PALETTE, 1}, {PNG_COLOR_TYPE_PALETTE, 2}, {PNG_COLOR_TYPE_PALETTE, 4},
                               {PNG_COLOR_TYPE_GRAY, 8},    {PNG_COLOR_TYPE_RGB, 8},     {PNG_COLOR_TYPE_RGB_ALPHA, 8}};
    for (const tail_case kind : kinds) {
        for (const uint32_t width : {1u, 3u, 7u, 9u, 13u}) {
            for (const bool interlaced : {false, true}) {
                png_recipe recipe;
                recipe.width = width;
                recipe.height = 9;
                recipe.color_type = kind.color_type;
                recipe.bit_depth = kind.bit_depth;
                recipe.interlaced = interlaced;
                if (kind.color_type == PNG_COLOR_TYPE_PALETTE) {
                    recipe.palette = test_palette(size_t{1} << kind.bit_depth);
                }
                // Every pixel the highest value: set bits next to the tail show any that leak into it.
                const uint16_t top = static_cast<uint16_t>((1u << kind.bit_depth) - 1);
                CxImage image(CXIMAGE_FORMAT_PNG);
                ASSERT_TRUE(decode(image, make_png(recipe, [&](uint32_t, uint32_t, int) { return top; })))
                    << name(recipe) << ": " << image.last_error();
                const size_t used_bits = size_t{width} * image.bits_per_pixel();
                for (uint32_t y = 0; y < recipe.height; ++y) {
                    const uint8_t* row = image.row_bits(y);
                    for (size_t bit = used_bits; bit < size_t{image.row_bytes()} * 8; ++bit) {
                        ASSERT_EQ((row[bit / 8] >> (7 - bit % 8)) & 1, 0)
                            << name(recipe) << " width " << width << " row " << y << " bit " << bit;
                    }
                }
            }
        }
    }
}

TEST(png_decode, palette_transparency_is_per_entry) {
    struct trns_case {
        std::vector<uint8_t> alpha;
    };
    // One entry used to make index 0 fully transparent whatever its alpha.
    for (const auto& alpha : {std::vector<uint8_t>{128}, std::vector<uint8_t>{255}, std::vector<uint8_t>{0, 10, 20}}) {
        png_recipe recipe;
        recipe.color_type = PNG_COLOR_TYPE_PALETTE;
        recipe.palette = test_palette(8);
        recipe.trns_alpha = alpha;
        CxImage image(CXIMAGE_FORMAT_PNG);
        ASSERT_TRUE(decode(image, make_png(recipe))) << image.last_error();
        EXPECT_TRUE(image.palette_alpha());
        EXPECT_EQ(image.get_transparent_index(), -1);
        for (uint32_t i = 0; i < 256; ++i) {
            EXPECT_EQ(image.get_palette_color(i).alpha, i < alpha.size() ? alpha[i] : 255) << i;
        }
    }
}

TEST(png_decode, grey_and_rgb_transparency) {
    png_recipe grey;
    grey.color_type = PNG_COLOR_TYPE_GRAY;
    grey.trns_color = png_color_16{0, 0, 0, 0, 5};
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(decode(image, make_png(grey)));
    EXPECT_EQ(image.get_transparent_index(), 5);

    grey.bit_depth = 16;
    grey.trns_color = png_color_16{0, 0, 0, 0, 0x1234};
    ASSERT_TRUE(decode(image, make_png(grey)));
    EXPECT_EQ(image.get_transparent_index(), 0x12);

    for (int depth : {8, 16}) {
        png_recipe rgb;
        rgb.bit_depth = depth;
        const uint16_t scale = depth == 16 ? 0x101 : 1;
        rgb.trns_color = png_color_16{0, static_cast<uint16_t>(10 * scale), static_cast<uint16_t>(20 * scale),
                                      static_cast<uint16_t>(30 * scale), 0};
        CxImage colour(CXIMAGE_FORMAT_PNG);
        ASSERT_TRUE(decode(colour, make_png(rgb)));
        EXPECT_EQ(colour.get_transparent_index(), 0);
        EXPECT_EQ(colour.get_transparent_color(), (cx_rgb_quad{30, 20, 10, 0}));
        EXPECT_FALSE(colour.has_alpha());
    }
}

TEST(png_decode, resolution_from_phys) {
    struct phys_case {
        std::optional<std::array<uint32_t, 3>> phys;
        int32_t dpi_x, dpi_y;
    };
    const phys_case cases[] = {
        {std::nullopt, 96, 96},
        {std::array<uint32_t, 3>{3780, 3780, PNG_RESOLUTION_METER}, 96, 96},
        {std::array<uint32_t, 3>{2835, 5669, PNG_RESOLUTION_METER}, 72, 144},
        {std::array<uint32_t, 3>{3, 4, PNG_RESOLUTION_UNKNOWN}, 3, 4},
    };
    for (const auto& c : cases) {
        png_recipe recipe;
        recipe.phys = c.phys;
        CxImage image(CXIMAGE_FORMAT_PNG);
        ASSERT_TRUE(decode(image, make_png(recipe)));
        EXPECT_EQ(image.get_dpi_x(), c.dpi_x);
        EXPECT_EQ(image.get_dpi_y(), c.dpi_y);
    }
}

TEST(png_decode, failures_keep_the_previous_picture) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(image.Decode(nullptr, CXIMAGE_FORMAT_PNG));
    EXPECT_STREQ(image.last_error(), "null file handler");

    png_recipe recipe;
    recipe.width = 40;
    recipe.height = 30;
    const std::vector<uint8_t> good = make_png(recipe);
    ASSERT_TRUE(decode(image, good));
    const cx_rgb_quad before = image.get_pixel_color(7, 7);
    EXPECT_FALSE(decode(image, good, 7));
    EXPECT_STREQ(image.last_error(), "Decode: Unknown or wrong format");

    for (size_t cut : {size_t{0}, size_t{8}, size_t{30}, good.size() / 2, good.size() - 13}) {
        const std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_FALSE(decode(image, truncated)) << cut;
        if (cut > 0) {
            EXPECT_STREQ(image.last_error(), "Read Error") << cut;
        }
        EXPECT_EQ(image.get_width(), 40u);
        EXPECT_EQ(image.get_pixel_color(7, 7), before);
    }
    std::vector<uint8_t> garbage = good;
    garbage[1] = 'X';
    EXPECT_FALSE(decode(image, garbage));
    EXPECT_EQ(image.get_pixel_color(7, 7), before);
}

TEST(png_decode, oversized_header_is_refused) {
    png_recipe recipe;
    recipe.color_type = PNG_COLOR_TYPE_GRAY;
    recipe.bit_depth = 1;
    recipe.width = 20000;
    recipe.height = 1;
    CxImage image(CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(decode(image, make_png(recipe)));
    EXPECT_FALSE(image.is_valid());
    EXPECT_NE(std::string(image.last_error()), "");
}

TEST(png_decode, header_only_and_any_format) {
    png_recipe recipe;
    recipe.width = 21;
    recipe.height = 5;
    const std::vector<uint8_t> bytes = make_png(recipe);
    CxImage header(CXIMAGE_FORMAT_PNG);
    header.set_cancel(-1);
    ASSERT_TRUE(decode(header, bytes));
    EXPECT_EQ(header.get_width(), 21u);
    EXPECT_EQ(header.get_height(), 5u);
    EXPECT_EQ(header.image_type(), CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(header.is_valid());

    CxImage any(CXIMAGE_FORMAT_UNKNOWN);
    ASSERT_TRUE(decode(any, bytes, CXIMAGE_FORMAT_UNKNOWN)) << any.last_error();
    EXPECT_EQ(any.image_type(), CXIMAGE_FORMAT_PNG);
    expect_pixels(any, recipe);

    const std::vector<uint8_t> junk(100, 0x42);
    EXPECT_FALSE(decode(any, junk, CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(any.last_error(), "Decode: Unknown or wrong format");
}

// A decode used to take the whole info block of the caller, so an image that had been transparent carried its
// old transparency and selection box into a new, opaque picture.
TEST(png_decode, a_new_picture_does_not_inherit_old_transparency) {
    png_recipe palette;
    palette.color_type = PNG_COLOR_TYPE_PALETTE;
    palette.palette = test_palette(4);
    palette.trns_alpha = {0, 0};
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(decode(image, make_png(palette)));
    image.set_transparent_index(2);
    image.set_alpha_max(127);
    ASSERT_TRUE(image.palette_alpha());

    png_recipe opaque;
    opaque.width = 6;
    ASSERT_TRUE(decode(image, make_png(opaque)));
    EXPECT_EQ(image.get_transparent_index(), -1);
    EXPECT_FALSE(image.palette_alpha());
    EXPECT_EQ(image.info().selection_box.left, 6);
    EXPECT_EQ(image.alpha_max(), 127); // a drawing setting of the caller stays
}

} // namespace
} // namespace zel
