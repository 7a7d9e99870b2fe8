// Passive controls: multi-line wrapping as a table in the box font, hiding and showing, and the pixel rules of
// the gradient frame, the line, the picture and the colour box on tiny surfaces.
#include <gtest/gtest.h>

#include <stdexcept>

#include "form/account/color_box.h"
#include "form/controls/image_control.h"
#include "form/controls/line_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/scroll_view.h"
#include "form/controls/text_label.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "platform/gdi.h"
#include "platform/text.h"
#include "tests/form/controls/control_scene.h"

namespace zel::form::test {
namespace {

using zel::test::pixel_at;
using zel::test::rows_of;

class text_scene : public control_scene {
protected:
    void SetUp() override {
        control_scene::SetUp();
        open({480, 800, 192}, nullptr);
    }
};

TEST_F(text_scene, wraps_words_by_the_rules) {
    struct wrap_case {
        std::wstring text;
        std::vector<std::wstring> lines;
    };
    // Size 20 in the box font: every character 10 wide; the block is 100 wide and a line may fill it.
    const wrap_case cases[] = {
        {L"aaaa bbbb", {L"aaaa bbbb"}},
        {L"aaaa bbbbb", {L"aaaa bbbbb"}},
        {L"aaaa bbbbbb", {L"aaaa", L"bbbbbb"}},
        {L" bbbbbbbbb", {L"bbbbbbbbb"}}, // a unit after its blank, as wide as its block, stays on its line
        {L"aaaaaaaaaaaa", {L"aaaaaaaaaaaa"}},
        {L"x aaaaaaaaaa y", {L"x", L"aaaaaaaaaa", L"y"}},
        {L"a\n\nb", {L"a", L"", L"b"}},
        {L"a\n", {L"a"}},
        {L"a  b", {L"a  b"}},
        {L"\nb", {L"b"}},
        {L"", {}},
        {L"один два три четыре", {L"один два", L"три четыре"}},
    };
    multiline_text text(manager.get(), 0, 100, 100);
    text.set_font(20, false);
    for (const wrap_case& c : cases) {
        text.set_text(c.text);
        EXPECT_EQ(text.lines(), c.lines) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(text.get_rect_c().h, static_cast<int>(c.lines.size()) * 20);
    }
    EXPECT_EQ(multiline_text::split_words(L"a  b\nc"),
              (std::vector<std::wstring>{L"a", L"", L"b", multiline_text::line_break, L"c"}));
}

TEST_F(text_scene, hiding_sets_the_height_to_zero_and_showing_restores_it) {
    multiline_text text(manager.get(), 0, 100, 100);
    text.set_font(20, true);
    text.set_text(L"один два три");
    ASSERT_EQ(text.get_rect_c().h, 40);
    EXPECT_EQ(text.first_line_width(), 80);
    text.set_visible(false);
    EXPECT_EQ(text.get_rect_c().h, 0);
    text.set_visible(true);
    EXPECT_EQ(text.get_rect_c().h, 40);
    multiline_text empty(manager.get(), 0, 0, 50);
    EXPECT_EQ(empty.first_line_width(), 0);
}

TEST_F(text_scene, paints_its_lines_clipped_to_the_maximum_height) {
    multiline_text text(manager.get(), 1, 1, 60);
    text.set_font(10, false); // characters 5 wide, boxes 4 wide and 8 high, lines 10 apart
    text.set_text(L"ab c\nd");
    ASSERT_EQ(text.lines(), (std::vector<std::wstring>{L"ab c", L"d"}));
    Graphics g(22, 24, nullptr);
    text.paint(g, {0, 0, 22, 24}, 0, 0);
    const std::map<std::uint32_t, char> legend{{0, '.'}, {0xFFFFFF, '#'}};
    const auto rows = rows_of(g, legend);
    EXPECT_EQ(rows[1], ".####.####......####..");
    EXPECT_EQ(rows[8], ".####.####......####..");
    EXPECT_EQ(rows[9], "......................");
    EXPECT_EQ(rows[11], ".####.................");
    EXPECT_EQ(rows[18], ".####.................");
    EXPECT_EQ(rows[19], "......................");

    text.set_max_height(12);
    Graphics cut(22, 24, nullptr);
    text.paint(cut, {0, 0, 22, 24}, 0, 0);
    EXPECT_EQ(rows_of(cut, legend)[12], ".####.................");
    EXPECT_EQ(rows_of(cut, legend)[13], "......................");
}

// A throw while a control draws must not leave its clip on the surface: every later paint would be narrowed.
TEST_F(text_scene, a_throw_while_painting_leaves_no_clip_behind) {
    struct throwing_recorder : platform::text_recorder {
        void drawn(const std::wstring&, const RECT&, COLORREF, UINT) override {
            throw std::runtime_error("drawing failed");
        }
    };
    struct throwing_control : control {
        using control::control;
        void paint(Graphics&, const rect&, int, int) override {
            throw std::runtime_error("drawing failed");
        }
    };
    auto clip_of = [](const Graphics& g) {
        RECT box{};
        GetClipBox(g.dc(), &box);
        return rect{box.left, box.top, box.right - box.left, box.bottom - box.top};
    };

    multiline_text text(manager.get(), 2, 2, 10);
    text.set_font(10, false);
    text.set_text(L"ab");
    Graphics g(40, 30, nullptr);
    throwing_recorder recorder;
    platform::set_text_recorder(&recorder);
    EXPECT_THROW(text.paint(g, {0, 0, 40, 30}, 0, 0), std::runtime_error);
    platform::set_text_recorder(nullptr);
    EXPECT_EQ(clip_of(g), (rect{0, 0, 40, 30}));

    scroll_view view(manager.get(), {5, 5, 10, 10});
    throwing_control child(manager.get(), {0, 0, 5, 5});
    view.add(&child);
    Graphics h(40, 30, nullptr);
    EXPECT_THROW(view.paint(h, {0, 0, 40, 30}, 0, 0), std::runtime_error);
    EXPECT_EQ(clip_of(h), (rect{0, 0, 40, 30}));
}

TEST(gradient_frame, draws_its_bevel_and_face_and_leaves_the_bottom_right_pixel) {
    struct style_case {
        int style;
        std::uint32_t top, left, right, bottom, face_top;
    };
    const style_case cases[] = {
        {0, 0x5D6065, 0x43464B, 0x232529, 0x303032, 0x43464B}, {1, 0x5D6065, 0x43464B, 0x232529, 0x303032, 0xFEDC00},
        {2, 0x5D6065, 0x43464B, 0x232529, 0x303032, 0x4B8F2E}, {3, 0xFFB24E, 0xAE490B, 0xAE490B, 0x6D1203, 0xE37512},
        {9, 0x5D6065, 0x43464B, 0x232529, 0x303032, 0x000000},
    };
    for (const style_case& c : cases) {
        Graphics g(8, 7, nullptr);
        g.fill_rect({0, 0, 8, 7}, brush_holder(rgb{1, 2, 3}));
        draw_gradient_frame(g, {1, 1, 5, 4}, c.style);
        EXPECT_EQ(pixel_at(g, 1, 1), c.left) << c.style; // the left line is drawn after the top
        EXPECT_EQ(pixel_at(g, 3, 1), c.top) << c.style;
        EXPECT_EQ(pixel_at(g, 1, 3), c.left) << c.style;
        EXPECT_EQ(pixel_at(g, 6, 1), c.right) << c.style;
        EXPECT_EQ(pixel_at(g, 6, 4), c.right) << c.style;
        EXPECT_EQ(pixel_at(g, 1, 5), c.bottom) << c.style;
        EXPECT_EQ(pixel_at(g, 5, 5), c.bottom) << c.style;
        EXPECT_EQ(pixel_at(g, 2, 2), c.face_top) << c.style;
        EXPECT_EQ(pixel_at(g, 5, 2), c.face_top) << c.style;
        EXPECT_EQ(pixel_at(g, 6, 5), 0x010203u) << c.style; // untouched
        EXPECT_EQ(pixel_at(g, 0, 0), 0x010203u) << c.style;
        EXPECT_EQ(pixel_at(g, 7, 6), 0x010203u) << c.style;
    }
}

TEST_F(text_scene, line_picture_and_box_pixels) {
    const std::map<std::uint32_t, char> legend{{0, '.'}, {0xFF0000, 'r'}, {0x13161B, 'w'}, {0x00FF00, 'g'}};
    Graphics g(6, 5, nullptr);
    line_control(manager.get(), {1, 1, 3, 0}, 0xFF0000).paint(g, {}, 0, 0);
    line_control(manager.get(), {0, 0, 0, 2}, 0xFF0000).paint(g, {}, 5, 2); // moved by (dx, dy)
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"......", ".rrr..", ".....r", ".....r", "......"}));

    auto green = Image::from_png_bytes(zel::test::solid_png(2, 1, 0xFF00FF00).data(),
                                       zel::test::solid_png(2, 1, 0xFF00FF00).size(), 1.0f, 1.0f);
    Graphics p(6, 3, nullptr);
    image_control picture(manager.get(), {1, 0, 50, 50}, green);
    picture.paint(p, {}, 2, 1);
    image_control hidden(manager.get(), {0, 0, 2, 1}, green);
    hidden.set_visible(false);
    hidden.paint(p, {}, 0, 0);
    image_control missing(manager.get(), {0, 0, 2, 1}, nullptr);
    missing.paint(p, {}, 0, 0);
    EXPECT_EQ(rows_of(p, legend), (std::vector<std::string>{"......", "...gg.", "......"}));

    Graphics b(5, 4, nullptr);
    color_box(manager.get(), {1, 1, 2, 1}).paint(b, {}, 0, 0);
    EXPECT_EQ(rows_of(b, legend), (std::vector<std::string>{".....", ".www.", ".www.", "....."}));
}

TEST_F(text_scene, label_draws_inside_its_rectangle_only) {
    text_label label(manager.get(), {2, 2, 20, 12}, L"ab");
    label.set_font_size(10);
    label.set_color(0xFF0000);
    Graphics g(24, 16, nullptr);
    label.paint(g, {}, 0, 0);
    // Centred both ways: "ab" is 10 wide and 10 high in a 20 x 12 box.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool inked = y >= 3 && y < 11 && ((x >= 7 && x < 11) || (x >= 12 && x < 16));
            EXPECT_EQ(pixel_at(g, x, y), inked ? 0xFF0000u : 0u) << x << "," << y;
        }
    }
}

} // namespace
} // namespace zel::form::test
