#include "image/cx_image.h"
#include "image/image_memory_stream.h"
#include "platform/gdi.h"
#include "tests/image/image_fixtures.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

// A memory DC with a bitmap of its own, filled with one colour.
class target {
public:
    target(int width, int height, COLORREF background) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, width, height);
        old_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(background);
        const RECT all{0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~target() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    target(const target&) = delete;
    target& operator=(const target&) = delete;
    HDC dc() const {
        return dc_;
    }
    COLORREF at(int x, int y) const {
        return GetPixel(dc_, x, y);
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

constexpr COLORREF grey = RGB(200, 200, 200);

// Pixel (x, y) counted from the top: red x * 10, green y * 10, blue 5.
COLORREF pattern(int x, int y) {
    return RGB(static_cast<BYTE>(x * 10), static_cast<BYTE>(y * 10), 5);
}

void make_pattern(CxImage& image, int width, int height, uint32_t bits = 24) {
    ASSERT_NE(image.Create(static_cast<uint32_t>(width), static_cast<uint32_t>(height), bits, CXIMAGE_FORMAT_PNG),
              nullptr);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.set_pixel_colorref(x, height - 1 - y, pattern(x, y));
        }
    }
}

TEST(draw, opaque_image_at_natural_size_and_offsets) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    make_pattern(image, 20, 6);
    target t(30, 10, grey);
    ASSERT_TRUE(image.draw_to_dc(t.dc(), 3, 2));
    EXPECT_EQ(t.at(3, 2), pattern(0, 0));
    EXPECT_EQ(t.at(22, 7), pattern(19, 5));
    EXPECT_EQ(t.at(2, 2), grey);
    EXPECT_EQ(t.at(23, 2), grey);
    EXPECT_EQ(t.at(3, 8), grey);
}

// The blend path cuts the image at the clip box: drawn at x = -10, the first ten columns are skipped, both when
// the whole image is transferred and when an alpha plane sends it through the blend.
TEST(draw, clip_offsets) {
    for (bool with_alpha : {false, true}) {
        CxImage image(CXIMAGE_FORMAT_PNG);
        make_pattern(image, 20, 6);
        if (with_alpha) {
            ASSERT_TRUE(image.alpha_create());
        }
        target t(30, 10, grey);
        ASSERT_TRUE(image.draw_to_dc(t.dc(), -10, -2));
        EXPECT_EQ(t.at(0, 0), pattern(10, 2)) << with_alpha;
        EXPECT_EQ(t.at(9, 3), pattern(19, 5));
        EXPECT_EQ(t.at(10, 0), grey);
        EXPECT_EQ(t.at(0, 4), grey);

        target clipped(30, 10, grey);
        const int depth = SaveDC(clipped.dc());
        IntersectClipRect(clipped.dc(), 5, 3, 8, 5);
        ASSERT_TRUE(image.draw_to_dc(clipped.dc(), 2, 1));
        RestoreDC(clipped.dc(), depth);
        EXPECT_EQ(clipped.at(5, 3), pattern(3, 2)) << with_alpha;
        EXPECT_EQ(clipped.at(7, 4), pattern(5, 3));
        EXPECT_EQ(clipped.at(4, 3), grey);
        EXPECT_EQ(clipped.at(8, 4), grey);
        EXPECT_EQ(clipped.at(5, 5), grey);

        // Completely outside the clip box: nothing reaches the target.
        target outside(30, 10, grey);
        EXPECT_TRUE(image.draw_to_dc(outside.dc(), 40, 0));
        EXPECT_EQ(outside.at(29, 0), grey);
    }
}

TEST(draw, blend_arithmetic) {
    struct blend_case {
        uint8_t alpha;
        uint8_t alpha_max;
        BYTE want; // a destination channel of 200 under a source channel of 0
    };
    const blend_case cases[] = {
        {0, 255, 200},   // transparent: destination kept
        {255, 255, 0},   // opaque: source stored
        {128, 255, 99},  // (255 - 128) × 200 >> 8 with a = (256 × 128) >> 8
        {255, 127, 100}, // alpha maximum 127: a = (128 × 255) >> 8 = 127
        {1, 255, 198},   // (254 × 200) >> 8
    };
    for (const auto& c : cases) {
        CxImage image(CXIMAGE_FORMAT_PNG);
        ASSERT_NE(image.Create(2, 1, 24, CXIMAGE_FORMAT_PNG), nullptr);
        ASSERT_TRUE(image.alpha_create());
        image.alpha_set(0, 0, c.alpha);
        image.set_alpha_max(c.alpha_max);
        target t(2, 1, RGB(200, 200, 200));
        ASSERT_TRUE(image.draw_to_dc(t.dc(), 0, 0));
        EXPECT_EQ(GetRValue(t.at(0, 0)), c.want) << int(c.alpha) << " " << int(c.alpha_max);
    }
}

TEST(draw, transparency_and_palette_alpha) {
    CxImage rgb(CXIMAGE_FORMAT_PNG);
    make_pattern(rgb, 4, 1);
    rgb.set_transparent_color(cx_rgb_quad{5, 0, 10, 0}); // pixel (1, 0): red 10, green 0, blue 5
    rgb.set_transparent_index(0);
    target t(4, 1, grey);
    ASSERT_TRUE(rgb.draw_to_dc(t.dc(), 0, 0));
    EXPECT_EQ(t.at(0, 0), pattern(0, 0));
    EXPECT_EQ(t.at(1, 0), grey);
    EXPECT_EQ(t.at(2, 0), pattern(2, 0));

    CxImage indexed(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(indexed.Create(3, 1, 8, CXIMAGE_FORMAT_PNG), nullptr);
    indexed.set_palette_color(0, 0, 0, 0, 255);
    indexed.set_palette_color(1, 0, 0, 0, 127);
    indexed.set_palette_color(2, 0, 0, 0, 0);
    indexed.set_palette_alpha(true);
    for (uint8_t i = 0; i < 3; ++i) {
        indexed.set_pixel_index(i, 0, i);
    }
    target p(3, 1, grey);
    ASSERT_TRUE(indexed.draw_to_dc(p.dc(), 0, 0));
    EXPECT_EQ(p.at(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetRValue(p.at(1, 0)), 100); // a = (128 × 255) >> 8 = 127
    EXPECT_EQ(p.at(2, 0), grey);

    indexed.set_palette_alpha(false);
    indexed.set_transparent_index(1);
    target q(3, 1, grey);
    ASSERT_TRUE(indexed.draw_to_dc(q.dc(), 0, 0));
    EXPECT_EQ(q.at(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(q.at(1, 0), grey);
    EXPECT_EQ(q.at(2, 0), RGB(0, 0, 0));
}

// An RGBA PNG that is opaque everywhere goes through the blend and gives the pixels of its RGB twin, which
// goes straight through.
TEST(draw, opaque_alpha_plane_matches_the_direct_path) {
    test::png_recipe recipe;
    recipe.width = 9;
    recipe.height = 7;
    recipe.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    const auto opaque = [&](uint32_t x, uint32_t y, int c) -> uint16_t {
        return c == 3 ? 255 : test::pattern_sample(recipe, x, y, c);
    };
    const auto rgba = test::make_png(recipe, opaque);
    recipe.color_type = PNG_COLOR_TYPE_RGB;
    const auto rgb = test::make_png(recipe, opaque);
    CxImage with_alpha(CXIMAGE_FORMAT_PNG);
    CxImage plain(CXIMAGE_FORMAT_PNG);
    image_memory_stream a(rgba.data(), rgba.size());
    image_memory_stream b(rgb.data(), rgb.size());
    ASSERT_TRUE(with_alpha.Decode(&a, CXIMAGE_FORMAT_PNG));
    ASSERT_TRUE(plain.Decode(&b, CXIMAGE_FORMAT_PNG));
    ASSERT_TRUE(with_alpha.has_alpha());
    target ta(12, 9, grey);
    target tb(12, 9, grey);
    ASSERT_TRUE(with_alpha.draw_to_dc(ta.dc(), 1, 1));
    ASSERT_TRUE(plain.draw_to_dc(tb.dc(), 1, 1));
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 12; ++x) {
            ASSERT_EQ(ta.at(x, y), tb.at(x, y)) << x << "," << y;
        }
    }
}

TEST(draw, scaled_and_refused) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    make_pattern(image, 2, 2);
    target t(6, 6, grey);
    ASSERT_TRUE(image.draw_to_dc(t.dc(), 1, 1, 4, 4));
    EXPECT_EQ(t.at(1, 1), pattern(0, 0));
    EXPECT_EQ(t.at(2, 2), pattern(0, 0));
    EXPECT_EQ(t.at(3, 2), pattern(1, 0));
    EXPECT_EQ(t.at(4, 4), pattern(1, 1));
    EXPECT_EQ(t.at(5, 5), grey);

    image.set_enabled(false);
    target off(3, 3, grey);
    EXPECT_FALSE(image.draw_to_dc(off.dc(), 0, 0));
    EXPECT_EQ(off.at(0, 0), grey);
    image.set_enabled(true);
    EXPECT_FALSE(image.draw_to_dc(nullptr, 0, 0));
    EXPECT_FALSE(image.draw_to_dc(off.dc(), 0, 0, 0, 5));
    CxImage empty(CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(empty.draw_to_dc(off.dc(), 0, 0));
}

TEST(draw, tiles_are_cut_at_the_rectangle) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    make_pattern(image, 10, 10);
    target t(40, 30, grey);
    const RECT rectangle{3, 2, 28, 17}; // 25 × 15: six tiles, the last column and row cut to 5 pixels
    ASSERT_TRUE(image.tile_to_dc(t.dc(), &rectangle));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 3 && x < 28 && y >= 2 && y < 17;
            const COLORREF want = inside ? pattern((x - 3) % 10, (y - 2) % 10) : grey;
            ASSERT_EQ(t.at(x, y), want) << x << "," << y;
        }
    }
    // The clip of the DC is as it was.
    RECT clip{};
    GetClipBox(t.dc(), &clip);
    EXPECT_EQ(clip.right, 40);
    const RECT flat{0, 5, 10, 5};
    EXPECT_TRUE(image.tile_to_dc(t.dc(), &flat));
    EXPECT_FALSE(image.tile_to_dc(t.dc(), nullptr));
}

} // namespace
} // namespace zel
