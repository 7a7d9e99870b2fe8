#include "image/cx_image.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

// A 24-bit image whose pixel (x, y) has blue x and green y (y counted from the bottom row).
void fill_coordinates(CxImage& image, uint32_t width, uint32_t height) {
    ASSERT_NE(image.Create(width, height, 24, CXIMAGE_FORMAT_PNG), nullptr);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            image.set_pixel_color(x, y, cx_rgb_quad{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7, 0});
        }
    }
}

TEST(resample, nearest_pixel_samples_from_the_bottom_row) {
    struct sample_case {
        uint32_t width, height, new_width, new_height;
        std::vector<uint8_t> columns, rows;
    };
    const sample_case cases[] = {
        {4, 2, 2, 1, {0, 2}, {0}},
        {10, 10, 3, 3, {0, 3, 6}, {0, 3, 6}},
        {3, 3, 6, 6, {0, 0, 1, 1, 2, 2}, {0, 0, 1, 1, 2, 2}},
        {480, 800, 240, 400, {0, 2, 4}, {0, 2, 4}},
    };
    for (const auto& c : cases) {
        CxImage image(CXIMAGE_FORMAT_PNG);
        fill_coordinates(image, c.width, c.height);
        ASSERT_TRUE(image.rescale(static_cast<int32_t>(c.new_width), static_cast<int32_t>(c.new_height), 1));
        ASSERT_EQ(image.get_width(), c.new_width);
        ASSERT_EQ(image.get_height(), c.new_height);
        for (size_t x = 0; x < c.columns.size(); ++x) {
            EXPECT_EQ(image.get_pixel_color(static_cast<int64_t>(x), 0).blue, c.columns[x]) << c.width;
        }
        for (size_t y = 0; y < c.rows.size(); ++y) {
            EXPECT_EQ(image.get_pixel_color(0, static_cast<int64_t>(y)).green, c.rows[y]) << c.height;
        }
    }
}

TEST(resample, alpha_follows_the_same_mapping_and_transparency_survives) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    fill_coordinates(image, 3, 3);
    ASSERT_TRUE(image.alpha_create());
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 3; ++x) {
            image.alpha_set(x, y, static_cast<uint8_t>(10 * x + y));
        }
    }
    image.set_transparent_color(cx_rgb_quad{1, 2, 3, 0});
    image.set_transparent_index(0);
    CxImage target(CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(image.rescale(6, 6, 1, &target));
    EXPECT_EQ(image.get_width(), 3u); // the source is left alone
    ASSERT_TRUE(target.has_alpha());
    for (uint32_t y = 0; y < 6; ++y) {
        for (uint32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(target.alpha_get(x, y), 10 * (x / 2) + y / 2);
        }
    }
    EXPECT_EQ(target.get_transparent_index(), 0);
    EXPECT_EQ(target.get_transparent_color(), (cx_rgb_quad{1, 2, 3, 0}));
}

TEST(resample, same_size_and_zero_size) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    fill_coordinates(image, 5, 4);
    const uint8_t* block = image.block();
    EXPECT_TRUE(image.rescale(5, 4, 1));
    EXPECT_EQ(image.block(), block);
    EXPECT_FALSE(image.rescale(0, 4, 1));
    EXPECT_FALSE(image.rescale(5, 0, 1));
    EXPECT_EQ(image.block(), block);
    CxImage copy(CXIMAGE_FORMAT_PNG);
    EXPECT_TRUE(image.rescale(5, 4, 1, &copy));
    EXPECT_EQ(copy.get_pixel_color(4, 3).blue, 4);
    CxImage too_big(CXIMAGE_FORMAT_PNG);
    fill_coordinates(too_big, 2, 2);
    EXPECT_FALSE(too_big.rescale(20000, 2, 1));
    EXPECT_STREQ(too_big.last_error(), "CXIMAGE_MAX_MEMORY exceeded");
    EXPECT_EQ(too_big.get_width(), 2u);
}

// Mapping each sampled colour back to the first palette entry of that colour moved pixels between entries
// that differ only in transparency.
TEST(resample, palette_images_keep_their_indices) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(image.Create(4, 4, 8, CXIMAGE_FORMAT_PNG), nullptr);
    image.set_palette_color(0, 50, 60, 70, 0);   // fully transparent
    image.set_palette_color(1, 50, 60, 70, 255); // the same colour, opaque
    image.set_palette_alpha(true);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 4; ++x) {
            image.set_pixel_index(x, y, 1);
        }
    }
    ASSERT_TRUE(image.rescale(2, 2, 1));
    for (uint32_t y = 0; y < 2; ++y) {
        for (uint32_t x = 0; x < 2; ++x) {
            EXPECT_EQ(image.get_pixel_index(x, y), 1);
        }
    }
    EXPECT_TRUE(image.palette_alpha());
    EXPECT_EQ(image.get_palette_color(0).alpha, 0);
}

// x × fx in single precision can round up to the width itself; it is kept to the last column.
TEST(resample, sampled_coordinates_stay_inside) {
    for (uint32_t width : {3u, 7u, 11u, 13u, 97u, 199u, 255u}) {
        for (uint32_t target : {2u, 5u, 6u, 9u, 31u, 1000u}) {
            CxImage image(CXIMAGE_FORMAT_PNG);
            fill_coordinates(image, width, 1);
            ASSERT_TRUE(image.alpha_create());
            ASSERT_TRUE(image.rescale(static_cast<int32_t>(target), 1, 1));
            EXPECT_LT(image.get_pixel_color(target - 1, 0).blue, static_cast<uint8_t>(width));
        }
    }
}

TEST(resample, other_modes_give_plausible_pixels) {
    for (int mode : {2, 3}) {
        for (auto [w, h] : {std::pair{8u, 8u}, std::pair{2u, 2u}, std::pair{16u, 4u}}) {
            CxImage image(CXIMAGE_FORMAT_PNG);
            ASSERT_NE(image.Create(4, 4, 24, CXIMAGE_FORMAT_PNG), nullptr);
            for (uint32_t y = 0; y < 4; ++y) {
                for (uint32_t x = 0; x < 4; ++x) {
                    image.set_pixel_color(x, y, cx_rgb_quad{100, 150, 200, 0});
                }
            }
            ASSERT_TRUE(image.rescale(static_cast<int32_t>(w), static_cast<int32_t>(h), mode));
            const cx_rgb_quad c = image.get_pixel_color(w / 2, h / 2, false);
            EXPECT_NEAR(c.blue, 100, 2) << mode << " " << w;
            EXPECT_NEAR(c.green, 150, 2);
            EXPECT_NEAR(c.red, 200, 2);
        }
    }
}

TEST(resample, overflow_coordinates) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    fill_coordinates(image, 4, 3);
    struct overflow_case {
        int method;
        int32_t x, y, want_x, want_y;
        bool ok;
    };
    const overflow_case cases[] = {
        {4, -1, 5, 3, 2, true}, {5, -9, 7, 0, 2, true}, {6, -1, 3, 1, 2, true},
        {6, 5, -4, 2, 1, true}, {1, 9, 9, 9, 9, false}, {2, 1, 1, 1, 1, true},
    };
    for (const auto& c : cases) {
        int32_t x = c.x;
        int32_t y = c.y;
        EXPECT_EQ(image.overflow_coords(x, y, c.method), c.ok);
        EXPECT_EQ(x, c.want_x) << c.method;
        EXPECT_EQ(y, c.want_y) << c.method;
    }
    const cx_rgb_quad background{1, 1, 1, 1};
    EXPECT_EQ(image.pixel_color_with_overflow(9, 9, 2, &background), background);
    EXPECT_EQ(image.pixel_color_with_overflow(9, 0, 5).blue, 3);
    // Bilinear halfway between columns 1 and 2; every kernel method reproduces a flat area.
    EXPECT_EQ(image.interpolated_color(1.5f, 0, 2, 5).blue, 2); // 1.5 rounds to 2
    for (int method = 1; method <= 18; ++method) {
        EXPECT_EQ(image.interpolated_color(1.0f, 1.0f, method, 5).red, 7) << method;
    }
    EXPECT_EQ(image.area_color(0, 0, 2, 1, 2, 5).blue, 1); // (0 + 1) / 2 rounded
}

} // namespace
} // namespace zel
