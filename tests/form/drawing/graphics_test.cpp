// Graphics on tiny surfaces, pixel by pixel: the fill one pixel larger, gradient ends, the line's end pixel,
// clipping, copies between surfaces and text in the box font.
#include <gtest/gtest.h>

#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "platform/gdi.h"
#include "platform/text.h"
#include "tests/form/form_fixture.h"

namespace zel::form {
namespace {

using test::pixel_at;
using test::rows_of;

const std::map<std::uint32_t, char> legend{{0x000000, '.'}, {0xFFFFFF, '#'}, {0xFF0000, 'r'}, {0x1F252D, 's'}};

class box_font_scope {
public:
    box_font_scope() : was_(platform::box_font()) {
        platform::set_box_font(true);
    }
    ~box_font_scope() {
        platform::set_box_font(was_);
    }

private:
    bool was_;
};

TEST(graphics, fill_rect_covers_one_pixel_more_each_way) {
    struct fill_case {
        rect r;
        std::vector<std::string> picture;
    };
    const fill_case cases[] = {
        {{1, 1, 2, 1}, {".....", ".###.", ".###.", "....."}},
        {{0, 0, 0, 0}, {"#....", ".....", ".....", "....."}},
        {{3, 2, 5, 5}, {".....", ".....", "...##", "...##"}}, // cut at the surface's edges
        {{-2, -1, 2, 1}, {"#....", ".....", ".....", "....."}},
    };
    for (const fill_case& c : cases) {
        Graphics g(5, 4, nullptr);
        g.fill_rect(c.r, brush_holder(rgb{255, 255, 255}));
        EXPECT_EQ(rows_of(g, legend), c.picture) << c.r.x << "," << c.r.y << "," << c.r.w << "," << c.r.h;
    }
}

TEST(graphics, fill_rect_of_ten_by_ten_covers_eleven_by_eleven) {
    Graphics g(12, 12, nullptr);
    g.fill_rect({0, 0, 10, 10}, brush_holder(rgb{255, 255, 255}));
    int filled = 0;
    for (const std::string& row : rows_of(g, legend)) {
        filled += static_cast<int>(std::count(row.begin(), row.end(), '#'));
    }
    EXPECT_EQ(filled, 121);
    EXPECT_EQ(pixel_at(g, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(pixel_at(g, 11, 10), 0u);
    EXPECT_EQ(pixel_at(g, 10, 11), 0u);
}

TEST(graphics, slate_background_fills_the_update_rectangle_as_fill_rect_does) {
    Graphics g(4, 3, nullptr);
    paint_background_slate(g, {1, 0, 1, 1});
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{".ss.", ".ss.", "...."}));
}

TEST(graphics, gradient_runs_from_the_first_point_to_the_last_inclusive) {
    // Four rows from (0, 0) to (1, 3): red steps 0, 63, 127, 191, stopping one step short of 255.
    Graphics v(3, 5, nullptr);
    v.gradient_fill({0, 0}, {1, 3}, rgb{0, 0, 0}, rgb{255, 0, 0}, 1);
    const std::uint32_t reds[] = {0x000000, 0x3F0000, 0x7F0000, 0xBF0000};
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(pixel_at(v, 0, y), reds[y]) << y;
        EXPECT_EQ(pixel_at(v, 1, y), reds[y]) << y;
        EXPECT_EQ(pixel_at(v, 2, y), 0u) << y;
    }
    EXPECT_EQ(pixel_at(v, 0, 4), 0u);

    Graphics h(5, 2, nullptr);
    h.gradient_fill({0, 0}, {3, 0}, rgb{255, 255, 255}, rgb{255, 255, 255}, 0);
    EXPECT_EQ(rows_of(h, legend), (std::vector<std::string>{"####.", "....."}));
}

TEST(graphics, line_leaves_its_end_pixel_and_set_pixel_sets_one) {
    Graphics g(5, 3, nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    g.draw_line({0, 0}, {4, 0}, pen);
    g.draw_line({4, 0}, {4, 2}, pen);
    DeleteObject(pen);
    g.set_pixel({0, 2}, rgb{255, 0, 0});
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"#####", "....#", "r...."}));
}

TEST(graphics, clip_narrows_until_restore) {
    Graphics g(4, 4, nullptr);
    g.save();
    g.clip_to({1, 1, 2, 2});
    g.fill_rect({0, 0, 4, 4}, brush_holder(rgb{255, 255, 255}));
    g.restore();
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"....", ".##.", ".##.", "...."}));
    g.fill_rect({0, 3, 0, 0}, brush_holder(rgb{255, 0, 0}));
    EXPECT_EQ(pixel_at(g, 0, 3), 0xFF0000u);
}

TEST(graphics, blits_copy_the_named_part) {
    Graphics source(3, 2, nullptr);
    source.set_pixel({0, 0}, rgb{255, 255, 255});
    source.set_pixel({2, 1}, rgb{255, 0, 0});
    Graphics target(4, 3, nullptr);
    source.blit_to(target, {1, 1, 2, 1}, 1, 1); // only source (1, 1) and (2, 1)
    EXPECT_EQ(rows_of(target, legend), (std::vector<std::string>{"....", "..r.", "...."}));
    Graphics window(4, 3, nullptr);
    source.blit_to_dc(window.dc(), {2, 0, 2, 2});
    EXPECT_EQ(rows_of(window, legend), (std::vector<std::string>{"..#.", "....", "...."}));
}

TEST(graphics, borrowed_surface_stays_with_its_owner) {
    Graphics owner(2, 1, nullptr);
    {
        Graphics borrowed = Graphics::borrow(owner.dc(), 2, 1);
        borrowed.set_pixel({1, 0}, rgb{255, 255, 255});
    }
    EXPECT_EQ(rows_of(owner, legend), (std::vector<std::string>{".#"}));
}

TEST(graphics, box_font_text_is_placed_by_its_fixed_metrics) {
    box_font_scope box;
    // Height 10: ascent 8, advance 5, each box 4 wide and 8 high from the cell's top.
    font_holder font(10, 400);
    Graphics g(12, 11, nullptr);
    g.draw_text(font, {0, 0, 12, 11}, L"a b", DT_LEFT | DT_TOP, TRANSPARENT, rgb{255, 255, 255});
    std::vector<std::string> expected(11, "............");
    for (int y = 0; y < 8; ++y) {
        expected[y] = "####......##";
    }
    EXPECT_EQ(rows_of(g, legend), expected);

    Graphics centred(10, 12, nullptr);
    centred.draw_text(font, {0, 0, 10, 12}, std::wstring(L"Ж"), DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT,
                      rgb{255, 0, 0});
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inked = x >= 2 && x < 6 && y >= 1 && y < 9;
            EXPECT_EQ(pixel_at(centred, x, y), inked ? 0xFF0000u : 0u) << x << "," << y;
        }
    }
}

TEST(graphics, text_is_clipped_to_its_rectangle) {
    box_font_scope box;
    font_holder font(10, 400);
    Graphics g(12, 10, nullptr);
    g.draw_text(font, {0, 0, 7, 4}, L"ab", DT_LEFT | DT_TOP, TRANSPARENT, rgb{255, 255, 255});
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(rows_of(g, legend)[y], y < 4 ? "####.##....." : "............") << y;
    }
}

TEST(text_extent, box_font_gives_fixed_metrics) {
    box_font_scope box;
    struct extent_case {
        int height;
        std::wstring text;
        size expected;
    };
    const extent_case cases[] = {
        {10, L"", {0, 10}},       {10, L"abc", {15, 10}}, {20, L"Навигатор", {90, 20}}, {-12, L"a", {6, 12}},
        {30, L"a\nbb", {30, 60}}, {1, L"ab", {2, 1}},     {23, L"a  b", {44, 23}},
    };
    for (const extent_case& c : cases) {
        font_holder font(c.height, 400);
        EXPECT_EQ(text_extent(nullptr, font, c.text), c.expected) << c.height;
    }
    font_holder bold(20, 700);
    EXPECT_EQ(text_extent(nullptr, bold, L"ab"), (size{20, 20}));
}

TEST(text_extent, real_font_measures_an_empty_text_as_one_line) {
    ASSERT_FALSE(platform::box_font());
    font_holder font(30, 400);
    const size empty = text_extent(nullptr, font, L"");
    EXPECT_EQ(empty.width, 0);
    EXPECT_GT(empty.height, 0);
    const size word = text_extent(nullptr, font, L"Навигатор");
    EXPECT_GT(word.width, 0);
    EXPECT_EQ(word.height, empty.height);
}

} // namespace
} // namespace zel::form
