// The list view on a list screen built as the list panels build theirs (the panel is the row source, arrow
// buttons in the screen's right corners, the arrow keys scroll), through the finger's path: the pen rule over
// rows of mixed heights as a table, the clip at the view's bottom, the scroll stop by keys and buttons, an
// empty list, rows that change under the view, and the golden of three rows cut at the bottom.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "form/controls/image_button.h"
#include "form/controls/list_row_source.h"
#include "form/controls/list_view.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/return_first_arg.h"
#include "platform/headless.h"
#include "platform/text.h"
#include "tests/form/form_fixture.h"
#include "tests/form/shell_fixture.h"
#include "tests/support/golden.h"

namespace zel::form::test {
namespace {

static_assert(std::is_convertible_v<return_first_arg_t, std::function<void()>>);
static_assert(std::is_convertible_v<return_first_arg_t, std::function<void(int)>>);

constexpr std::uint32_t slate = 0x1F252D;
constexpr std::uint32_t pressed_colour = 0xFFFFFF;
constexpr std::uint32_t row_colours[] = {0xC00000, 0x00C000, 0x0000C0, 0xC0C000,
                                         0x00C0C0, 0xC000C0, 0x808080, 0x804000};

std::uint32_t colour_of(int row) {
    return row_colours[static_cast<std::size_t>(row) % std::size(row_colours)];
}

// A list screen: the view over the work rectangle less 5 pixels (or the rectangle a test gives), the up and
// down buttons in the screen's top and bottom right corners on layer 2, the arrow keys on the view. The panel
// is the row source: rows of the heights and widths a test sets, each filled with its own colour (white while
// pressed) unless a test gives another face, and every call of the view written down.
class list_screen : public panel_base, public list_row_source {
public:
    explicit list_screen(manager_2& form) : form_(form) {}

    int panel_id() const override {
        return 5;
    }
    void paint_background(Graphics& g, const rect& update) override {
        paint_background_slate(g, update);
    }
    void show(const panel_param*) override {
        const rect r = view.w > 0 ? view : rect{own_.x + 5, own_.y + 5, own_.w - 10, own_.h - 10};
        list = std::make_unique<list_view>(&form_, r);
        if (attach) {
            list->set_source(this);
        }
        list->set_enabled(true);
        list->set_visible(true);
        add_control(list.get(), 1);
        const skin_images* skin = form_.get_skin_images();
        auto up_image = skin_images::image_of(skin, 1046);
        const int w = up_image->width(), h = up_image->height();
        up = std::make_unique<image_button>(
            &form_, rect{screen_.x + screen_.w - w, screen_.y, w, h}, [this] { list->scroll_up(); }, up_image,
            skin_images::image_of(skin, 1047));
        down = std::make_unique<image_button>(
            &form_, rect{screen_.x + screen_.w - w, screen_.y + screen_.h - h, w, h}, [this] { list->scroll_down(); },
            skin_images::image_of(skin, 1044), skin_images::image_of(skin, 1045));
        add_control(up.get(), 2);
        add_control(down.get(), 2);
        list->reset_first_row();
    }
    void hide() override {
        list.reset();
        up.reset();
        down.reset();
        clear_map();
    }
    void on_key_up_arrow() override {
        list->scroll_up();
    }
    void on_key_down_arrow() override {
        list->scroll_down();
    }

    int row_count() const override {
        return static_cast<int>(heights.size());
    }
    size row_size(int row) const override {
        const auto w = widths.find(row);
        return size{w != widths.end() ? w->second : list->get_rect().w, heights.at(static_cast<std::size_t>(row))};
    }
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override {
        drawn.push_back("draw " + std::to_string(row) + " v" + std::to_string(value) + " p" +
                        std::to_string(pressed_row) + " c" + std::to_string(clickable));
        if (face) {
            face(g, r, row, pressed_row);
        } else if (r.w > 0 && r.h > 0) {
            const std::uint32_t c = row == pressed_row ? pressed_colour : colour_of(row);
            brush_holder brush(rgb::from_rrggbb(c));
            g.fill_rect(rect{r.x, r.y, r.w - 1, r.h - 1}, brush); // fill_rect covers one pixel more each way
        }
    }
    void row_clicked(int row) override {
        calls.push_back("click " + std::to_string(row));
    }
    void pen_down_on_row(int x, int y) override {
        calls.push_back("pen-down " + std::to_string(x) + "," + std::to_string(y));
    }
    void pen_up_on_row(int x, int y) override {
        calls.push_back("pen-up " + std::to_string(x) + "," + std::to_string(y));
    }
    int row_clickable(int row) const override {
        return unclickable.count(row) ? 0 : 1;
    }
    int row_selected(int) const override {
        return 0;
    }

    rect view;
    bool attach = true;
    std::vector<int> heights;
    std::map<int, int> widths;
    std::set<int> unclickable;
    std::function<void(Graphics&, const rect&, int row, int pressed_row)> face;
    std::vector<std::string> calls;
    std::vector<std::string> drawn;
    std::unique_ptr<list_view> list;
    std::unique_ptr<image_button> up;
    std::unique_ptr<image_button> down;

private:
    manager_2& form_;
};

// The arrow pictures and the area row's icon and badge, flat.
void write_list_skin(const zel::test::mini_skin& skin) {
    using zel::test::solid_png;
    skin.write_library("skin_black_button", {
                                                {1040, solid_png(40, 40, 0xFF1A5EBB)},
                                                {1041, solid_png(120, 40, 0xFFE37512)},
                                                {1044, solid_png(48, 48, 0xFF646464)},
                                                {1045, solid_png(48, 48, 0xFFFEDC00)},
                                                {1046, solid_png(48, 48, 0xFF646464)},
                                                {1047, solid_png(48, 48, 0xFFFEDC00)},
                                            });
}

class list_view_scene : public ::testing::Test, public shell_harness {
protected:
    void SetUp() override {
        box_was_ = platform::box_font();
        platform::set_box_font(true);
        write_list_skin(skin_);
    }
    void TearDown() override {
        teardown();
        platform::set_box_font(box_was_);
    }

    // Shows the list screen on the screen, set up by the test before its first show.
    void open(const platform::screen_size& screen, const std::function<void(list_screen&)>& configure) {
        auto table = recording_table();
        for (auto& row : table.rows) {
            if (row.id == 5) {
                row.portrait = [this, configure](manager_2& m) {
                    auto p = std::make_unique<list_screen>(m);
                    configure(*p);
                    host = p.get();
                    return std::unique_ptr<panel_base>(std::move(p));
                };
            }
        }
        build(screen, std::move(table));
        start();
        manager->push_panel(5);
        run();
    }
    void press(int x, int y) {
        platform::headless::pen_down(x, y);
        run();
    }
    void release(int x, int y) {
        platform::headless::pen_up(x, y);
        run();
    }
    void tap(int x, int y) {
        press(x, y);
        release(x, y);
    }
    void key(UINT k) {
        if (k == VK_DOWN) {
            platform::headless::key_down(k);
        } else {
            platform::headless::key_up(k);
        }
        run();
    }
    // Repaints the whole window, as a store update that invalidates the list does.
    void repaint_all() {
        manager->invalidate_rect(rect{0, 0, manager->get_width(), manager->get_height()});
        run();
    }
    std::uint32_t pixel(int x, int y) {
        int w = 0, h = 0;
        const auto pixels = platform::headless::window_pixels(window, w, h);
        return pixels.at(static_cast<std::size_t>(y * w + x));
    }
    std::vector<std::string> take_calls() {
        std::vector<std::string> taken;
        taken.swap(host->calls);
        return taken;
    }
    std::vector<std::string> take_drawn() {
        std::vector<std::string> taken;
        taken.swap(host->drawn);
        return taken;
    }

    zel::test::mini_skin skin_;
    list_screen* host = nullptr;
    bool box_was_ = false;
};

// 480 x 800 at 192 DPI: scale 1, the strip 54 high. The view lies at (20, 100, 200, 150): pixels 20-219 and
// 100-249; by the pen rule it holds 21-220 and 101-250. Row tops 100, 140, 200, 230, 310: row 2 is 120 wide,
// row 3 is cut at the bottom (20 of its 80 pixels shown), row 4 starts below the view.
const platform::screen_size tall{480, 800, 192};
const rect view_rect{20, 100, 200, 150};
const std::vector<int> mixed{40, 60, 30, 80, 50};

void mixed_rows(list_screen& s) {
    s.view = view_rect;
    s.heights = mixed;
    s.widths = {{2, 120}};
}

using calls = std::vector<std::string>;

struct pen_case {
    const char* name;
    point down;
    point up;
    calls expected;
    int unclickable = -1;
};

const pen_case pen_cases[] = {
    {"centre of a row", {120, 170}, {120, 170}, {"pen-down 120,170", "pen-up 120,170", "click 1"}},
    {"bottom edge belongs to its row", {120, 140}, {120, 140}, {"pen-down 120,140", "pen-up 120,140", "click 0"}},
    {"first pixel of the next row", {120, 141}, {120, 141}, {"pen-down 120,141", "pen-up 120,141", "click 1"}},
    {"right edge of the view", {220, 120}, {220, 120}, {"pen-down 220,120", "pen-up 220,120", "click 0"}},
    {"top edge of the view", {120, 100}, {120, 100}, {}},
    {"left edge of the view", {20, 120}, {20, 120}, {}},
    {"inside a narrow row", {100, 215}, {100, 215}, {"pen-down 100,215", "pen-up 100,215", "click 2"}},
    {"beside a narrow row", {180, 215}, {180, 215}, {}},
    {"shown part of the cut row", {120, 250}, {120, 250}, {"pen-down 120,250", "pen-up 120,250", "click 3"}},
    {"cut row below the view", {120, 251}, {120, 251}, {}},
    {"up on another row", {120, 120}, {120, 170}, {"pen-down 120,120"}},
    {"up outside the view", {120, 120}, {300, 120}, {"pen-down 120,120"}},
    {"up off the rows", {120, 120}, {180, 215}, {"pen-down 120,120"}},
    {"up over a row, down on no row", {180, 215}, {120, 120}, {}},
    {"row not clickable", {120, 170}, {120, 170}, {"pen-down 120,170"}, 1},
};

TEST_F(list_view_scene, pen_follows_the_rows) {
    for (const pen_case& c : pen_cases) {
        open(tall, [&](list_screen& s) {
            mixed_rows(s);
            if (c.unclickable >= 0) {
                s.unclickable.insert(c.unclickable);
            }
        });
        press(c.down.x, c.down.y);
        release(c.up.x, c.up.y);
        EXPECT_EQ(take_calls(), c.expected) << c.name;
        EXPECT_EQ(host->list->pressed_row(), -1) << c.name;
        teardown();
    }
}

TEST_F(list_view_scene, a_pressed_row_shows_and_a_release_elsewhere_repaints_it_released) {
    open(tall, mixed_rows);
    press(120, 120);
    EXPECT_EQ(host->list->pressed_row(), 0);
    EXPECT_EQ(pixel(120, 120), pressed_colour);
    EXPECT_EQ(pixel(120, 170), colour_of(1));
    release(120, 170);
    EXPECT_EQ(take_calls(), (calls{"pen-down 120,120"}));
    EXPECT_EQ(pixel(120, 120), colour_of(0));
    EXPECT_EQ(pixel(120, 170), colour_of(1));
}

struct paint_case {
    const char* name;
    std::vector<int> heights;
    std::map<int, int> widths;
    calls drawn;
    // Pixels and what they show: a row's colour, or slate outside the rows.
    std::vector<std::pair<point, std::uint32_t>> pixels;
};

const paint_case paint_cases[] = {
    {"a row cut at the bottom",
     mixed,
     {},
     {"draw 0 v0 p-1 c1", "draw 1 v0 p-1 c1", "draw 2 v0 p-1 c1", "draw 3 v0 p-1 c1"},
     {{{120, 229}, colour_of(2)}, {{120, 230}, colour_of(3)}, {{120, 249}, colour_of(3)}, {{120, 250}, slate}}},
    {"a row that starts at the bottom edge is not drawn",
     {40, 60, 30, 20, 50},
     {},
     {"draw 0 v0 p-1 c1", "draw 1 v0 p-1 c1", "draw 2 v0 p-1 c1", "draw 3 v0 p-1 c1"},
     {{{120, 249}, colour_of(3)}, {{120, 250}, slate}}},
    {"a row wider than the view is cut at its right edge",
     {40},
     {{0, 400}},
     {"draw 0 v0 p-1 c1"},
     {{{219, 120}, colour_of(0)}, {{220, 120}, slate}, {{120, 140}, slate}}},
    {"a narrow row leaves the view's background beside it",
     {40, 30},
     {{0, 100}},
     {"draw 0 v0 p-1 c1", "draw 1 v0 p-1 c1"},
     {{{119, 120}, colour_of(0)}, {{120, 120}, slate}, {{219, 150}, colour_of(1)}}},
    {"a row taller than the view", {400}, {}, {"draw 0 v0 p-1 c1"}, {{{120, 249}, colour_of(0)}, {{120, 250}, slate}}},
};

TEST_F(list_view_scene, paints_the_shown_rows_clipped_to_the_view) {
    for (const paint_case& c : paint_cases) {
        open(tall, [&](list_screen& s) {
            s.view = view_rect;
            s.heights = c.heights;
            s.widths = c.widths;
        });
        take_drawn();
        repaint_all();
        EXPECT_EQ(take_drawn(), c.drawn) << c.name;
        for (const auto& [p, colour] : c.pixels) {
            EXPECT_EQ(pixel(p.x, p.y), colour) << c.name << " at " << p.x << "," << p.y;
        }
        teardown();
    }
}

TEST_F(list_view_scene, each_drawn_row_gets_its_clickable_flag_and_the_pressed_row) {
    open(tall, [](list_screen& s) {
        mixed_rows(s);
        s.unclickable = {2};
    });
    press(120, 120);
    take_drawn();
    repaint_all();
    EXPECT_EQ(take_drawn(), (calls{"draw 0 v0 p0 c1", "draw 1 v0 p0 c1", "draw 2 v0 p0 c0", "draw 3 v0 p0 c1"}));
    release(120, 120);
}

// Row heights 40, 60, 30, 80, 50 in a view 150 high: the rows from row 3 (130) are the first to fit, so the
// list stops there. The keys: down arrow on key-down, up arrow on key-up; the buttons at the screen's corners.
enum class input { key_down, key_up, button_down, button_up };

struct scroll_step {
    input action;
    int first_row;
};

TEST_F(list_view_scene, scrolls_by_keys_and_buttons_and_stops_once_the_rest_fits) {
    open(tall, mixed_rows);
    const scroll_step steps[] = {
        {input::key_down, 1},    {input::key_down, 2}, {input::button_down, 3}, {input::key_down, 3},
        {input::button_down, 3}, {input::key_up, 2},   {input::button_up, 1},   {input::key_up, 0},
        {input::button_up, 0},   {input::key_down, 1},
    };
    int n = 0;
    for (const scroll_step& s : steps) {
        switch (s.action) {
        case input::key_down:
            key(VK_DOWN);
            break;
        case input::key_up:
            key(VK_UP);
            break;
        case input::button_down:
            tap(456, 776);
            break;
        case input::button_up:
            tap(456, 24);
            break;
        }
        EXPECT_EQ(host->list->first_row(), s.first_row) << "step " << n;
        EXPECT_EQ(pixel(120, 100), colour_of(s.first_row)) << "step " << n;
        ++n;
    }
    take_calls();
    key(VK_DOWN);
    key(VK_DOWN); // at the stop: row 3 on top, at 100-179
    tap(120, 175);
    EXPECT_EQ(take_calls(), (calls{"pen-down 120,175", "pen-up 120,175", "click 3"}));
    take_drawn();
    repaint_all();
    EXPECT_EQ(take_drawn(), (calls{"draw 3 v0 p-1 c1", "draw 4 v0 p-1 c1"}));
}

TEST_F(list_view_scene, a_last_row_taller_than_the_view_is_the_last_stop) {
    open(tall, [](list_screen& s) {
        s.view = view_rect;
        s.heights = {50, 400};
    });
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(host->list->first_row(), 1);
    EXPECT_EQ(pixel(120, 249), colour_of(1));
}

struct empty_case {
    const char* name;
    bool attach;
};

TEST_F(list_view_scene, an_empty_list_or_none_draws_nothing_and_takes_no_tap) {
    for (const empty_case c : {empty_case{"no rows", true}, empty_case{"no source", false}}) {
        open(tall, [&](list_screen& s) {
            s.view = view_rect;
            s.attach = c.attach;
        });
        EXPECT_EQ(take_drawn(), calls{}) << c.name;
        EXPECT_EQ(pixel(120, 120), slate) << c.name;
        tap(120, 120);
        key(VK_DOWN);
        tap(456, 776);
        key(VK_UP);
        EXPECT_EQ(take_calls(), calls{}) << c.name;
        EXPECT_EQ(host->list->first_row(), 0) << c.name;
        EXPECT_EQ(host->list->rows_height(), 0) << c.name;
        EXPECT_EQ(host->list->row_at(120, 120).row, -1) << c.name;
        teardown();
    }
}

TEST_F(list_view_scene, rows_that_go_away_under_a_scrolled_view_bring_it_back) {
    open(tall, mixed_rows);
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_DOWN);
    ASSERT_EQ(host->list->first_row(), 3);
    // The source loses rows (a store update) and the panel repaints without resetting the list.
    host->heights = {40, 60};
    take_drawn();
    repaint_all();
    EXPECT_EQ(take_drawn(), (calls{"draw 0 v0 p-1 c1", "draw 1 v0 p-1 c1"}));
    EXPECT_EQ(host->list->first_row(), 0);
    EXPECT_EQ(pixel(120, 100), colour_of(0));
    tap(120, 120);
    EXPECT_EQ(take_calls(), (calls{"pen-down 120,120", "pen-up 120,120", "click 0"}));
    key(VK_UP);
    EXPECT_EQ(host->list->first_row(), 0);

    // A first row stored past the end (a panel restoring an old position) shows from the stop; up goes on from it.
    host->heights = mixed;
    int stored = 10;
    host->list->set_first_row(stored);
    EXPECT_EQ(host->list->first_row(), 3);
    key(VK_UP);
    EXPECT_EQ(host->list->first_row(), 2);
    EXPECT_EQ(host->list->first_row_ref(), 2);
}

TEST_F(list_view_scene, a_pressed_row_that_went_away_clicks_nothing) {
    open(tall, mixed_rows);
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_DOWN);
    press(120, 120); // row 3, at the top
    EXPECT_EQ(host->list->pressed_row(), 3);
    host->heights = {40, 60}; // under the pen now: row 0
    release(120, 120);
    EXPECT_EQ(take_calls(), (calls{"pen-down 120,120"}));
    EXPECT_EQ(host->list->pressed_row(), -1);
}

// An area row as the list screens draw it, at scale 0.5: black, a grey frame (yellow while pressed) 3 pixels in,
// the icon over the badge at the left, the name beside the icon and the count on the badge.
void area_face(manager_2& form, Graphics& g, const rect& r, int row, int pressed_row) {
    static const wchar_t* names[] = {L"Центр", L"Вокзал", L"Аэропорт"};
    static const wchar_t* counts[] = {L"3", L"0", L"12"};
    const float s = form.get_scale();
    const skin_images* skin = form.get_skin_images();
    const auto icon = skin_images::image_of(skin, 1040);
    const auto badge = skin_images::image_of(skin, 1041);
    g.fill_rect(r, brush_holder(rgb{0, 0, 0}));
    draw_gradient_frame(g, rect{r.x, r.y + 3, r.w, r.h - 6}, row == pressed_row ? 1 : 0);
    const int top = r.y + 3, b = badge->height();
    icon->draw(g, r.x + scaled(12, s), top + b / 2 - icon->height() / 2);
    badge->draw(g, r.x + scaled(12, s), top + b);
    const font_holder font(scaled(34, s), 400);
    g.draw_text(font, rect{r.x + scaled(24, s) + icon->width(), top, r.w, b}, names[row % 3], 36, 1,
                rgb{255, 255, 255});
    g.draw_text(font, rect{r.x + scaled(67, s), top + b, badge->width() - badge->width() / 3, b}, counts[row % 3], 36,
                1, rgb{255, 255, 255});
}

TEST_F(list_view_scene, three_rows_cut_at_the_bottom_match_their_golden) {
    // 240 x 320 at 96 DPI: the strip 27 high, the view at (5, 32, 230, 283); rows 100, 80 and 130 high, the
    // third cut after 103 pixels. The second row is held down.
    open({240, 320, 96}, [this](list_screen& s) {
        s.heights = {100, 80, 130};
        s.face = [this](Graphics& g, const rect& r, int row, int pressed_row) {
            area_face(*manager, g, r, row, pressed_row);
        };
    });
    EXPECT_EQ(host->list->get_rect(), (rect{5, 32, 230, 283}));
    press(100, 170);
    EXPECT_EQ(host->list->pressed_row(), 1);
    int w = 0, h = 0;
    const auto pixels = platform::headless::window_pixels(window, w, h);
    EXPECT_EQ(zel::test::compare_with_golden("tests/form/golden", "list_three_rows", w, h, pixels), "");
    release(100, 170);
    EXPECT_EQ(take_calls(), (calls{"pen-down 100,170", "pen-up 100,170", "click 1"}));
}

} // namespace
} // namespace zel::form::test
