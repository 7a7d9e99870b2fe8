#include "image/cx_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zel {
namespace {

TEST(cx_image, defaults) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(image.is_valid());
    EXPECT_EQ(image.image_type(), CXIMAGE_FORMAT_PNG);
    EXPECT_EQ(image.get_transparent_index(), -1);
    EXPECT_EQ(image.alpha_max(), 255);
    EXPECT_TRUE(image.enabled());
    EXPECT_EQ(image.get_dpi_x(), 96);
    EXPECT_EQ(image.header().x_pels_per_meter, 3780);
    EXPECT_EQ(image.jpeg_quality(), 90);
    EXPECT_EQ(CxImage::version_text(), L"CxImage 6.0.0");
}

struct create_case {
    uint32_t width, height, bits;
    uint32_t want_bits, want_entries, want_row_bytes;
};

TEST(cx_image, create_rounds_depth_and_pads_rows) {
    const create_case cases[] = {
        {10, 10, 0, 1, 2, 4},    {10, 10, 1, 1, 2, 4},    {10, 10, 2, 4, 16, 8},   {10, 10, 4, 4, 16, 8},
        {10, 10, 8, 8, 256, 12}, {10, 10, 16, 24, 0, 32}, {10, 10, 32, 24, 0, 32}, {1, 1, 24, 24, 0, 4},
    };
    for (const auto& c : cases) {
        CxImage image(CXIMAGE_FORMAT_PNG);
        ASSERT_NE(image.Create(c.width, c.height, c.bits, CXIMAGE_FORMAT_PNG), nullptr) << c.bits;
        EXPECT_EQ(image.bits_per_pixel(), c.want_bits);
        EXPECT_EQ(image.header().clr_used, c.want_entries);
        EXPECT_EQ(image.row_bytes(), c.want_row_bytes);
        EXPECT_EQ(image.header().size_image, c.want_row_bytes * c.height);
        EXPECT_EQ(image.row_bits(0), image.block() + 40 + 4 * c.want_entries);
        EXPECT_EQ(std::memcmp(image.block(), &image.header(), 40), 0);
    }
}

TEST(cx_image, create_refuses_empty_and_oversized_images) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(image.Create(4, 4, 24, 4), nullptr);
    EXPECT_EQ(image.Create(0, 5, 8, 4), nullptr);
    EXPECT_STREQ(image.last_error(), "CxImage::Create : width and height must be greater than zero");
    EXPECT_FALSE(image.is_valid());
    for (auto [w, h, bits] : {std::tuple{65536u, 65536u, 24u},
                              {16385u, 1u, 8u},
                              {1u, 16385u, 1u},
                              {16384u, 16384u, 24u},
                              {12000u, 12000u, 24u}}) {
        EXPECT_EQ(image.Create(w, h, bits, 4), nullptr) << w << "x" << h;
        EXPECT_STREQ(image.last_error(), "CXIMAGE_MAX_MEMORY exceeded");
    }
    // Exactly 256 MiB of pixel data is still allowed.
    EXPECT_NE(image.Create(16384, 16384, 8, 4), nullptr);
}

// New rows used to be left as the allocator gave them; a decode cut short then showed stale heap bytes.
TEST(cx_image, new_rows_are_zeroed) {
    for (int round = 0; round < 3; ++round) {
        CxImage image(CXIMAGE_FORMAT_PNG);
        ASSERT_NE(image.Create(300, 200, 24, 4), nullptr);
        const uint8_t* rows = image.row_bits(0);
        for (size_t i = 0; i < image.header().size_image; ++i) {
            ASSERT_EQ(rows[i], 0) << i;
        }
        std::memset(image.row_bits(0), 0xAB, image.header().size_image);
    }
}

TEST(cx_image, pixel_packing_by_depth) {
    for (uint32_t bits : {1u, 4u, 8u}) {
        CxImage image(CXIMAGE_FORMAT_PNG);
        ASSERT_NE(image.Create(9, 2, bits, 4), nullptr);
        const uint8_t max = static_cast<uint8_t>((1u << bits) - 1);
        for (uint32_t x = 0; x < 9; ++x) {
            image.set_pixel_index(x, 1, static_cast<uint8_t>(x & max));
        }
        for (uint32_t x = 0; x < 9; ++x) {
            EXPECT_EQ(image.get_pixel_index(x, 1), x & max) << bits;
            EXPECT_EQ(image.get_pixel_index(x, 0), 0);
        }
        if (bits == 1) {
            EXPECT_EQ(image.row_bits(1)[0], 0x55); // bit 7 - x mod 8
        } else if (bits == 4) {
            EXPECT_EQ(image.row_bits(1)[0], 0x01); // high nibble for even x
        }
    }
}

TEST(cx_image, colors_alpha_and_outside_reads) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(image.Create(3, 2, 24, 4), nullptr);
    image.set_pixel_colorref(1, 1, 0x112233); // red 0x33, green 0x22, blue 0x11
    EXPECT_EQ(image.get_pixel_color(1, 1), (cx_rgb_quad{0x11, 0x22, 0x33, 0}));
    EXPECT_EQ(image.pixel_pointer_unchecked(1, 1)[0], 0x11);
    ASSERT_TRUE(image.alpha_create());
    EXPECT_EQ(image.alpha_get(2, 1), 255);
    image.alpha_set(1, 1, 40);
    EXPECT_EQ(image.get_pixel_color(1, 1, true).alpha, 40);
    EXPECT_EQ(image.alpha_get(5, 5), 0);
    EXPECT_EQ(image.alpha_pointer(3, 0), nullptr);
    // Outside: pixel (0, 0), or the transparent colour once transparency is on.
    image.set_pixel_color(0, 0, cx_rgb_quad{1, 2, 3, 0});
    EXPECT_EQ(image.get_pixel_color(-1, 0, false), (cx_rgb_quad{1, 2, 3, 0}));
    image.set_transparent_color(cx_rgb_quad{9, 8, 7, 99});
    image.set_transparent_index(5);
    EXPECT_EQ(image.get_transparent_index(), 0);
    EXPECT_EQ(image.get_pixel_color(3, 0, false), (cx_rgb_quad{9, 8, 7, 0}));
}

TEST(cx_image, transparent_index_dpi_and_options) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(image.Create(2, 2, 8, 4), nullptr);
    image.set_transparent_index(300);
    EXPECT_EQ(image.get_transparent_index(), 0);
    image.set_transparent_index(-1);
    EXPECT_EQ(image.get_transparent_index(), -1);
    image.set_transparent_index(7);
    image.set_palette_color(7, 10, 20, 30);
    EXPECT_EQ(image.get_transparent_color(), (cx_rgb_quad{30, 20, 10, 0}));

    image.set_dpi_x(0);
    EXPECT_EQ(image.get_dpi_x(), 96);
    EXPECT_EQ(image.header().x_pels_per_meter, 3780);
    image.set_dpi_x(72);
    EXPECT_EQ(image.header().x_pels_per_meter, 2835);
    EXPECT_EQ(reinterpret_cast<const cx_bitmap_header*>(image.block())->x_pels_per_meter, 2835);

    image.set_codec_option(1, 0); // the image's own type: PNG
    EXPECT_EQ(image.codec_option(CXIMAGE_FORMAT_PNG), 1u);
    image.set_codec_option(0x80, CXIMAGE_FORMAT_JPG);
    EXPECT_EQ(image.codec_option(CXIMAGE_FORMAT_JPG), 0x80u);
    EXPECT_EQ(image.codec_option(9), 1u);
    EXPECT_FALSE(image.set_image_type(7));
    EXPECT_EQ(image.image_type(), 0u);
    EXPECT_TRUE(image.set_image_type(5));
}

TEST(cx_image, palette_helpers_and_nearest_index) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(image.Create(2, 2, 4, 4), nullptr);
    image.set_gray_palette();
    EXPECT_EQ(image.get_palette_color(15), (cx_rgb_quad{255, 255, 255, 0}));
    EXPECT_EQ(image.get_palette_color(1).red, 17);
    EXPECT_EQ(image.get_palette_color(16), cx_rgb_quad{});
    EXPECT_FALSE(image.is_gray_scale());
    EXPECT_EQ(image.nearest_index(cx_rgb_quad{18, 18, 18, 0}), 1);
    EXPECT_EQ(image.nearest_index(cx_rgb_quad{250, 250, 250, 0}), 15);
    image.set_palette_color(15, 0, 0, 0); // the cache is dropped with the change
    EXPECT_EQ(image.nearest_index(cx_rgb_quad{250, 250, 250, 0}), 14);
    const uint8_t red[2] = {5, 6};
    image.set_palette_from_arrays(2, red, nullptr, nullptr);
    EXPECT_EQ(image.get_palette_color(1), (cx_rgb_quad{6, 6, 6, 0}));
    image.set_important_colors(300);
    EXPECT_EQ(image.header().clr_important, 0u);
    image.set_important_colors(200);
    EXPECT_EQ(image.header().clr_important, 16u);
}

TEST(cx_image, copy_gives_independent_planes) {
    CxImage source(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(source.Create(4, 3, 8, 4), nullptr);
    source.set_gray_palette();
    source.set_pixel_index(2, 1, 77);
    ASSERT_TRUE(source.alpha_create());
    source.alpha_set(2, 1, 5);
    source.set_transparent_index(3);

    CxImage copy(CXIMAGE_FORMAT_PNG);
    copy.copy_from(source, true, true, true);
    ASSERT_TRUE(copy.is_valid());
    EXPECT_NE(copy.block(), source.block());
    EXPECT_EQ(copy.get_pixel_index(2, 1), 77);
    EXPECT_EQ(copy.get_transparent_index(), 3);
    EXPECT_EQ(copy.alpha_get(2, 1), 5);
    copy.alpha_set(2, 1, 6);
    EXPECT_EQ(source.alpha_get(2, 1), 5);
    EXPECT_NE(copy.alpha_pointer(), source.alpha_pointer());
}

// Frames and layers are arrays that only their image's own counts describe.
class image_with_children : public CxImage {
public:
    explicit image_with_children(uint32_t type) : CxImage(type) {}
    void add_children(int32_t frames, int32_t layers) {
        frames_ = new CxImage*[static_cast<size_t>(frames)];
        for (int32_t i = 0; i < frames; ++i) {
            frames_[i] = new CxImage(CXIMAGE_FORMAT_PNG);
        }
        info_.frame_count = frames;
        layers_ = new CxImage*[static_cast<size_t>(layers)];
        for (int32_t i = 0; i < layers; ++i) {
            layers_[i] = new CxImage(CXIMAGE_FORMAT_PNG);
        }
        info_.layer_count = layers;
    }
    // What a source may claim (an icon decode counts the file's entries) without arrays of that size.
    void claim_counts(int32_t frames, int32_t layers) {
        info_.frame_count = frames;
        info_.layer_count = layers;
    }
};

TEST(cx_image, copy_keeps_its_own_frames_and_layers) {
    struct count_case {
        int32_t own_frames, own_layers, source_frames, source_layers;
    };
    for (const count_case c : {count_case{2, 1, 6, 4}, count_case{3, 2, 0, 0}, count_case{1, 1, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << c.own_frames << " " << c.own_layers << " " << c.source_frames);
        image_with_children source(CXIMAGE_FORMAT_PNG);
        ASSERT_NE(source.Create(4, 3, 8, CXIMAGE_FORMAT_PNG), nullptr);
        source.set_gray_palette();
        source.set_pixel_index(1, 2, 200);
        source.set_transparent_index(5);
        source.claim_counts(c.source_frames, c.source_layers);

        auto copy = std::make_unique<image_with_children>(CXIMAGE_FORMAT_JPG);
        ASSERT_NE(copy->Create(2, 2, 8, CXIMAGE_FORMAT_JPG), nullptr);
        copy->add_children(c.own_frames, c.own_layers);
        copy->copy_from(source);
        ASSERT_TRUE(copy->is_valid());
        EXPECT_EQ(copy->get_width(), 4u);
        EXPECT_EQ(copy->get_pixel_index(1, 2), 200);
        EXPECT_EQ(copy->get_transparent_index(), 5);
        EXPECT_EQ(copy->image_type(), static_cast<uint32_t>(CXIMAGE_FORMAT_PNG));
        EXPECT_EQ(copy->frame_count(), c.own_frames);
        copy.reset(); // frees exactly the frames it holds: the sanitizer sees any walk past the array
        source.claim_counts(0, 0);
    }
}

TEST(cx_image, alias_shares_and_frees_nothing) {
    auto source = std::make_unique<CxImage>(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(source->Create(4, 3, 24, 4), nullptr);
    source->set_pixel_colorref(1, 1, 0x0000FF);
    {
        CxImage alias(CXIMAGE_FORMAT_PNG);
        alias.alias_of(source.get());
        EXPECT_EQ(alias.block(), source->block());
        EXPECT_FALSE(alias.free_data());
        EXPECT_EQ(alias.Create(2, 2, 8, 4), nullptr);
        EXPECT_EQ(alias.block(), source->block());
        CxImage other(CXIMAGE_FORMAT_PNG);
        EXPECT_FALSE(alias.take_over_from(other));
        // A copy of an alias is an alias of it.
        CxImage second(CXIMAGE_FORMAT_PNG);
        second.copy_from(alias);
        EXPECT_EQ(second.block(), source->block());
    }
    EXPECT_EQ(source->get_pixel_color(1, 1).red, 255);
}

TEST(cx_image, take_over_moves_everything) {
    CxImage from(CXIMAGE_FORMAT_PNG);
    ASSERT_NE(from.Create(5, 5, 24, 4), nullptr);
    ASSERT_TRUE(from.alpha_create());
    const uint8_t* block = from.block();
    CxImage to(CXIMAGE_FORMAT_JPG);
    ASSERT_NE(to.Create(2, 2, 8, 3), nullptr);
    ASSERT_TRUE(to.take_over_from(from));
    EXPECT_EQ(to.block(), block);
    EXPECT_TRUE(to.has_alpha());
    EXPECT_EQ(to.image_type(), CXIMAGE_FORMAT_PNG);
    EXPECT_FALSE(from.is_valid());
    EXPECT_FALSE(from.has_alpha());
    EXPECT_EQ(from.get_width(), 0u);
}

TEST(cx_image, invert) {
    CxImage rgb(CXIMAGE_FORMAT_ICO);
    ASSERT_NE(rgb.Create(2, 1, 24, 5), nullptr);
    rgb.set_pixel_colorref(0, 0, 0x0000FF);
    rgb.set_transparent_color(cx_rgb_quad{0, 0, 0, 0});
    ASSERT_TRUE(rgb.invert());
    EXPECT_EQ(rgb.get_pixel_color(0, 0, false), (cx_rgb_quad{255, 255, 0, 0}));
    EXPECT_EQ(rgb.get_pixel_color(1, 0, false), (cx_rgb_quad{255, 255, 255, 0}));
    EXPECT_EQ(rgb.info().transparent_color, (cx_rgb_quad{255, 255, 255, 0}));

    CxImage ramp(CXIMAGE_FORMAT_ICO);
    ASSERT_NE(ramp.Create(2, 1, 8, 5), nullptr);
    ramp.set_gray_palette();
    ramp.set_pixel_index(0, 0, 10);
    ASSERT_TRUE(ramp.invert());
    EXPECT_EQ(ramp.get_pixel_index(0, 0), 245); // indices inverted, palette kept
    EXPECT_EQ(ramp.get_palette_color(0).red, 0);
}

} // namespace
} // namespace zel
