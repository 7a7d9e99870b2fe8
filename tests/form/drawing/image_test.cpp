// Image: decoding and scaling rules, the 0 x 0 picture that stands for a missing one, the format that only
// throws, and drawing, stretching and tiling pixel by pixel.
#include <gtest/gtest.h>

#include "form/drawing/exception.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "tests/form/form_fixture.h"

namespace zel::form {
namespace {

using test::pixel_at;
using test::png_bytes;
using test::rows_of;
using test::solid_png;

constexpr std::uint32_t red = 0xFFFF0000;
constexpr std::uint32_t blue = 0xFF0000FF;
const std::map<std::uint32_t, char> legend{{0x000000, '.'}, {0xFF0000, 'r'}, {0x0000FF, 'b'}, {0xFFFFFF, '#'}};

std::shared_ptr<Image> decoded(const std::vector<std::uint8_t>& bytes, float sx = 1.0f, float sy = 1.0f) {
    return Image::from_png_bytes(bytes.data(), bytes.size(), sx, sy);
}

TEST(image, png_bytes_are_scaled_by_the_smaller_factor_never_below_one_pixel) {
    struct scale_case {
        int width, height;
        float sx, sy;
        int expected_width, expected_height;
    };
    const scale_case cases[] = {
        {3, 3, 0.2f, 0.2f, 1, 1},      {4, 2, 0.5f, 1.0f, 2, 1}, {4, 2, 1.0f, 1.0f, 4, 2},
        {100, 40, 0.5f, 0.5f, 50, 20}, {5, 3, 0.5f, 0.5f, 2, 1}, {2, 2, 2.0f, 3.0f, 4, 4},
    };
    for (const scale_case& c : cases) {
        auto image = decoded(solid_png(c.width, c.height, red), c.sx, c.sy);
        EXPECT_EQ(image->width(), c.expected_width) << c.width << "x" << c.height << " by " << c.sx;
        EXPECT_EQ(image->height(), c.expected_height) << c.width << "x" << c.height << " by " << c.sx;
    }
}

TEST(image, bytes_that_do_not_decode_give_a_picture_that_does_nothing) {
    auto png = solid_png(4, 4, red);
    const std::vector<std::vector<std::uint8_t>> broken = {
        {},
        {1, 2, 3},
        std::vector<std::uint8_t>(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2)),
    };
    for (const auto& bytes : broken) {
        auto image = Image::from_png_bytes(bytes.empty() ? nullptr : bytes.data(), bytes.size(), 1.0f, 1.0f);
        ASSERT_TRUE(image);
        EXPECT_TRUE(image->empty());
        EXPECT_EQ(image->width(), 0);
        EXPECT_EQ(image->height(), 0);
        Graphics g(3, 3, nullptr);
        image->resize(2, 2);
        image->draw(g, 0, 0);
        image->draw(g, 0, 0, 3, 3);
        image->tile_in_rect(g, {0, 0, 3, 3});
        EXPECT_EQ(image->width(), 0);
        EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"...", "...", "..."}));
    }
}

TEST(image, an_unknown_format_throws_from_every_pixel_operation) {
    Image image(7);
    Graphics g(2, 2, nullptr);
    auto message_of = [](auto&& call) -> std::wstring {
        try {
            call();
        } catch (const Exception& e) {
            return e.message();
        }
        return L"nothing thrown";
    };
    EXPECT_EQ(message_of([&] { (void)image.width(); }), L"Image::width::не поддерживаемый формат");
    EXPECT_EQ(message_of([&] { (void)image.height(); }), L"Image::height::не поддерживаемый формат");
    EXPECT_EQ(message_of([&] { image.resize(1, 1); }), L"Image::resize::не поддерживаемый формат");
    EXPECT_EQ(message_of([&] { image.draw(g, 0, 0); }),
              L"Image::draw(Graphics *_gr, int _x, int _y)::не поддерживаемый формат");
    EXPECT_EQ(message_of([&] { Image().init(1, L"", 5, 0, 0); }), L"Image::init::не поддерживаемый формат");
    Exception copy(Exception(L"текст"));
    EXPECT_EQ(copy.message(), L"текст");
    EXPECT_STREQ(copy.what(), "текст");
}

TEST(image, draws_at_its_corner_in_its_own_size) {
    auto image = decoded(png_bytes(2, 2, {red, blue, blue, red}));
    Graphics g(4, 4, nullptr);
    image->draw(g, 1, 2);
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"....", "....", ".rb.", ".br."}));
    Graphics cut(2, 2, nullptr);
    image->draw(cut, -1, -1);
    EXPECT_EQ(rows_of(cut, legend), (std::vector<std::string>{"r.", ".."}));
}

TEST(image, transparent_pixels_keep_the_background_and_half_alpha_blends) {
    auto image = decoded(png_bytes(3, 1, {0x00FF0000, 0x80FF0000, red}));
    Graphics g(3, 1, nullptr);
    image->draw(g, 0, 0);
    EXPECT_EQ(pixel_at(g, 0, 0), 0u);
    const std::uint32_t half = pixel_at(g, 1, 0);
    EXPECT_EQ(half & 0x00FFFF, 0u);
    EXPECT_NEAR(static_cast<int>(half >> 16), 128, 1);
    EXPECT_EQ(pixel_at(g, 2, 0), 0xFF0000u);
}

TEST(image, stretched_draw_fills_the_rectangle) {
    auto image = decoded(png_bytes(2, 1, {red, blue}));
    Graphics g(5, 3, nullptr);
    image->draw(g, 0, 1, 4, 2);
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{".....", "rrbb.", "rrbb."}));
    EXPECT_EQ(image->width(), 2); // the picture itself is unchanged
}

TEST(image, tiles_repeat_from_the_corner_and_are_cut_at_the_edges) {
    auto image = decoded(png_bytes(2, 1, {red, blue}));
    Graphics g(7, 3, nullptr);
    image->tile_in_rect(g, {1, 0, 5, 2});
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{".rbrbr.", ".rbrbr.", "......."}));
}

TEST(image, resize_takes_the_nearest_pixel_and_assign_copies_deeply) {
    auto image = decoded(png_bytes(2, 2, {red, blue, blue, red}));
    Image copy;
    copy.assign(*image);
    image->resize(4, 2);
    EXPECT_EQ(image->width(), 4);
    Graphics g(4, 2, nullptr);
    image->draw(g, 0, 0);
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"rrbb", "bbrr"}));
    EXPECT_EQ(copy.width(), 2);
    EXPECT_EQ(copy.format(), Image::format_png);
    Graphics h(2, 2, nullptr);
    copy.draw(h, 0, 0);
    EXPECT_EQ(rows_of(h, legend), (std::vector<std::string>{"rb", "br"}));
}

class resource_image : public ::testing::Test {
protected:
    void SetUp() override {
        skin_.write_library("pictures", {{7, solid_png(40, 20, red)}, {8, {9, 9, 9}}});
        path_ = (skin_.path() / "skin" / "pictures.dll").wstring();
    }
    test::mini_skin skin_;
    std::wstring path_;
};

TEST_F(resource_image, keeping_the_aspect_only_shrinks) {
    struct scaled_case {
        float sx, sy;
        bool keep;
        int width, height;
    };
    const scaled_case cases[] = {
        {0.995f, 0.995f, true, 40, 20}, {0.5f, 0.5f, true, 20, 10},  {2.0f, 2.0f, true, 40, 20},
        {0.5f, 1.0f, true, 20, 10},     {0.5f, 1.0f, false, 20, 20}, {1.5f, 0.01f, false, 60, 1},
    };
    for (const scaled_case& c : cases) {
        auto image = Image::construct_scaled(7, path_, Image::format_png, c.sx, c.sy, c.keep);
        EXPECT_EQ(image->width(), c.width) << c.sx << " " << c.sy << " " << c.keep;
        EXPECT_EQ(image->height(), c.height) << c.sx << " " << c.sy << " " << c.keep;
    }
}

TEST_F(resource_image, init_fits_the_given_size_and_misses_give_empty_pictures) {
    Image fitted;
    fitted.init(7, path_, Image::format_png, 10, 6);
    EXPECT_EQ(fitted.width(), 10);
    EXPECT_EQ(fitted.height(), 6);
    Image natural;
    natural.init(7, path_, Image::format_png, 10, 0);
    EXPECT_EQ(natural.width(), 40);

    struct miss_case {
        int id;
        std::wstring path;
        int format;
    };
    const miss_case misses[] = {
        {9, path_, Image::format_png},                                 // no such resource
        {8, path_, Image::format_png},                                 // not a picture
        {7, path_, Image::format_jpg},                                 // no "JPG" resource
        {7, (skin_.path() / "none.dll").wstring(), Image::format_png}, // no library
        {7, L"", Image::format_png},                                   // the program's own module
    };
    for (const miss_case& m : misses) {
        auto image = Image::construct_scaled(m.id, m.path, m.format, 0.5f, 0.5f, true);
        EXPECT_TRUE(image->empty()) << m.id;
        EXPECT_EQ(image->width(), 0) << m.id;
        EXPECT_EQ(image->format(), m.format) << m.id;
    }
}

} // namespace
} // namespace zel::form
