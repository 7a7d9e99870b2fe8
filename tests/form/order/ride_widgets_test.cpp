// The ride widgets on a host screen with the default skin and the box font: the tariff description's texts,
// its purchase line rule and the height it reports to a scroll view; the taximeter display's sum texts and
// layouts; the ride rows' digits; the waiting switch through the pen; and the golden of the four together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "form/controls/image_control.h"
#include "form/controls/scroll_view.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/progress_switch.h"
#include "form/order/ride_rows_widget.h"
#include "form/order/tariff_widget.h"
#include "form/order/taximeter_display.h"
#include "form/shell/manager_2.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/order/ride_scene.h"

namespace zel::form::test {
namespace {

const platform::screen_size tall{480, 800, 192};

using texts = std::vector<std::wstring>;

// --- tariff widget

class tariff_scene : public ride_scene {
protected:
    // The widget at (20, 70), 440 wide, straight on the host screen.
    tariff_widget& show_tariff(int kind) {
        open(tall, [this, kind](host_panel& host, manager_2& m) {
            widget = host.own(std::make_unique<tariff_widget>(&m, rect{20, 70, 440, 300}, kind));
        });
        return *widget;
    }
    // The texts of one line of the widget, in drawing order.
    texts line_texts(const rect& line) {
        return texts_in(screen_texts(), line);
    }

    tariff_widget* widget = nullptr;
};

TEST_F(tariff_scene, TheFareLinesWriteTheirFiguresWholeOrWithOneDecimal) {
    tariff_widget& w = show_tariff(tariff_widget::kind_plain);
    w.set_base_price(99.5f);
    w.set_included_km(2.5f);
    w.set_included_minutes(10);
    w.set_price_per_km(20);
    w.set_price_per_minute(4.25f);
    w.set_price_per_waiting_minute(0);
    EXPECT_EQ(line_texts(w.fare_line_rect(1)), (texts{L"МИНИМАЛКА", L"ВКЛЮЧАЕТ 2.5 КМ ИЛИ 10 МИН", L" р.", L"99.5"}));
    EXPECT_EQ(line_texts(w.fare_line_rect(2)), (texts{L"КИЛОМЕТР", L"", L" р.", L"20"}));
    // 4.25 has hundredths: one decimal, as printf rounds it.
    EXPECT_EQ(line_texts(w.fare_line_rect(3)), (texts{L"МИНУТА", L"", L" р.", L"4.2"}));
    EXPECT_EQ(line_texts(w.fare_line_rect(4)), (texts{L"МИНУТА ОЖИДАНИЯ", L"", L" р.", L"0"}));
}

TEST(tariff_widget_round_value, WholeFiguresLoseTheirPointOthersKeepOneDecimal) {
    struct number_case {
        float value;
        const wchar_t* text;
    };
    const number_case cases[] = {
        {2.5f, L"2.5"},   {20.0f, L"20"},           {0.0f, L"0"}, {149.9f, L"149.9"}, {3.0f, L"3"},
        {-2.5f, L"-2.5"}, {1e12f, L"999999995904"}, // far beyond any fare: no overflow, the whole number
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tariff_widget::round_value(c.value), c.text) << c.value;
    }
}

struct purchase_case {
    const char* name;
    int kind;
    float percent;
    float minimum;
    bool shown;
};

const purchase_case purchase_cases[] = {
    {"both figures, purchase kind", tariff_widget::kind_purchase, 10, 150, true},
    {"just above the threshold", tariff_widget::kind_purchase, 0.0011f, 0.0011f, true},
    {"no percentage", tariff_widget::kind_purchase, 0, 150, false},
    {"percentage at the threshold", tariff_widget::kind_purchase, 0.001f, 150, false},
    {"minimum at the threshold", tariff_widget::kind_purchase, 10, 0.001f, false},
    {"plain kind", tariff_widget::kind_plain, 10, 150, false},
};

TEST_F(tariff_scene, ThePurchaseLineShowsOnlyWithBothFiguresOnAPurchaseWidgetAndTheHeightFollowsIt) {
    for (const auto& c : purchase_cases) {
        SCOPED_TRACE(c.name);
        teardown();
        tariff_widget& w = show_tariff(c.kind);
        w.set_purchase_percent(c.percent);
        w.set_purchase_minimum(c.minimum);
        EXPECT_EQ(w.shows_purchase_line(), c.shown);
        const texts all = line_texts(rect{0, 0, 480, 800});
        const bool drawn = std::find(all.begin(), all.end(), L"ПОКУПКА ЗАКАЗА") != all.end();
        EXPECT_EQ(drawn, c.shown);
        // The reported rectangle keeps x, y and width and ends with the last line shown.
        const rect last = c.shown ? w.purchase_line_rect() : w.fare_line_rect(4);
        EXPECT_EQ(w.get_rect(), (rect{20, 70, 440, last.y + last.h - 70}));
        EXPECT_EQ(w.extent(), w.get_rect());
        if (c.shown) {
            EXPECT_EQ(line_texts(w.purchase_line_rect()),
                      (texts{L"ПОКУПКА ЗАКАЗА", L"НО НЕ МЕНЕЕ " + tariff_widget::round_value(c.minimum) + L" РУБ.",
                             tariff_widget::round_value(c.percent) + L"%"}));
        }
    }
}

// On the landscape screen the line is narrow: a subtitle or title as wide as the line would run under the
// figure at the right, which takes the line's whole height. Each ends short of the figure's leftmost ink,
// whatever the figure's width.
TEST_F(tariff_scene, TheTextsOfANarrowLineEndShortOfTheFigure) {
    const std::uint32_t grey = 0x969291;  // the subtitle
    const std::uint32_t amber = 0xF8BA34; // the figure and its unit
    const std::uint32_t white = 0xFFFFFF; // the title
    for (const float price : {99.5f, 3.0f, 12345.5f}) {
        SCOPED_TRACE(price);
        teardown();
        open(tall, [this](host_panel& host, manager_2& m) {
            widget = host.own(std::make_unique<tariff_widget>(&m, rect{20, 70, 370, 300}, tariff_widget::kind_plain));
        });
        widget->set_base_price(price);
        widget->set_included_km(3);
        widget->set_included_minutes(10);
        widget->set_price_per_waiting_minute(price);
        for (const int k : {1, 4}) {
            const rect line = widget->fare_line_rect(k);
            InvalidateRect(window, nullptr, FALSE);
            run();
            int width = 0, height = 0;
            const std::vector<std::uint32_t> shown = platform::headless::window_pixels(window, width, height);
            int figure_left = line.x + line.w;
            int text_right = line.x;
            for (int y = line.y; y < line.y + line.h; ++y) {
                for (int x = line.x; x < line.x + line.w; ++x) {
                    const std::uint32_t p = shown[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF;
                    if (p == amber) {
                        figure_left = std::min(figure_left, x);
                    } else if (p == grey || p == white) {
                        text_right = std::max(text_right, x);
                    }
                }
            }
            EXPECT_LT(text_right, figure_left) << "line " << k;
        }
    }
}

// In a scroll view lower than the description, scrolling down as far as the view allows brings the last
// line wholly into sight, purchase line included.
TEST_F(tariff_scene, AScrollViewScrollsTheWholeDescriptionIntoSight) {
    scroll_view* view = nullptr;
    open(tall, [&](host_panel& host, manager_2& m) {
        view = host.own(std::make_unique<scroll_view>(&m, rect{20, 300, 440, 200}));
        // Layer 0: the host owns it, the view paints it.
        widget = host.own(std::make_unique<tariff_widget>(&m, rect{0, 0, 440, 200}, tariff_widget::kind_purchase), 0);
        view->add(widget);
    });
    ASSERT_NE(view, nullptr);
    widget->set_purchase_percent(15);
    widget->set_purchase_minimum(120);
    int steps = 0;
    while (view->can_scroll_down() && steps < 100) {
        view->scroll_down();
        ++steps;
    }
    EXPECT_GT(steps, 0);
    const rect purchase = widget->purchase_line_rect();
    const int bottom_on_screen = 300 + view->offset() + purchase.y + purchase.h;
    EXPECT_LE(bottom_on_screen, 300 + 200);
    EXPECT_GT(bottom_on_screen, 300 + 200 - 40); // no more than one step of blank below it
    const texts shown = texts_in(screen_texts(), rect{20, 300, 440, 200});
    EXPECT_NE(std::find(shown.begin(), shown.end(), L"ПОКУПКА ЗАКАЗА"), shown.end());
}

// --- reading digit pictures off the screen

// Where a seven-segment picture of the default skin draws its figure: the box inside the picture and the
// stroke, as the skin table gives them (scaled for the half-size ride digits).
struct segment_geometry {
    int bx, by, bw, bh, stroke;
};
constexpr segment_geometry display_roubles{10, 10, 52, 100, 12}; // 2047-2076
constexpr segment_geometry display_kopecks_2{6, 0, 44, 80, 8};   // 2057-2066
constexpr segment_geometry display_kopecks_3{4, 4, 36, 64, 6};   // 2077-2086
constexpr segment_geometry display_roubles_5{8, 8, 44, 84, 10};  // 2087-2096
constexpr segment_geometry ride_digit{1, 1, 14, 26, 4};          // 2145-2158
constexpr segment_geometry ride_small_digit{0, 0, 7, 13, 2};     // the same, halved

struct glyph_place {
    int left;
    int top;
    segment_geometry geometry;
};

class screen_pixels {
public:
    explicit screen_pixels(HWND window) : pixels_(platform::headless::window_pixels(window, width_, height_)) {}

    std::uint32_t at(int x, int y) const {
        return pixels_.at(static_cast<std::size_t>(y * width_ + x));
    }
    // Bright: a lit segment (white, or amber with much red), never a dim unlit one or the glare.
    bool lit(int x, int y) const {
        for (int yy = y - 1; yy <= y + 1; ++yy) {
            for (int xx = x - 1; xx <= x + 1; ++xx) {
                const std::uint32_t p = at(xx, yy);
                if (((p >> 16) & 0xFF) > 170 && ((p >> 8) & 0xFF) > 120) {
                    return true;
                }
            }
        }
        return false;
    }
    bool any_lit_in(const rect& r) const {
        for (int y = r.y + 1; y < r.y + r.h - 1; ++y) {
            for (int x = r.x + 1; x < r.x + r.w - 1; ++x) {
                if (lit(x, y)) {
                    return true;
                }
            }
        }
        return false;
    }
    bool any_white_in(const rect& r) const {
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                const std::uint32_t p = at(x, y);
                if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200) {
                    return true;
                }
            }
        }
        return false;
    }
    // The figure a seven-segment picture shows at the place: a digit, ' ' for nothing, ':' or '.', '?' else.
    char read(const glyph_place& p) const {
        const segment_geometry& g = p.geometry;
        const int x0 = p.left + g.bx, y0 = p.top + g.by;
        const int left = x0 + g.stroke / 2, right = x0 + g.bw - g.stroke / 2, centre = x0 + g.bw / 2;
        const int top = y0 + g.stroke / 2, bottom = y0 + g.bh - g.stroke / 2, middle = y0 + g.bh / 2;
        const point segments[7] = {{centre, top},    {right, (top + middle) / 2},   {right, (middle + bottom) / 2},
                                   {centre, bottom}, {left, (middle + bottom) / 2}, {left, (top + middle) / 2},
                                   {centre, middle}};
        int bits = 0;
        for (int i = 0; i < 7; ++i) {
            bits |= lit(segments[i].x, segments[i].y) ? 1 << i : 0;
        }
        static constexpr int figures[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
        for (int d = 0; d < 10; ++d) {
            if (bits == figures[d]) {
                return static_cast<char>('0' + d);
            }
        }
        if (bits == 0x08) {
            return '.';
        }
        if (bits == 0) {
            const bool dots = lit(centre, y0 + g.bh * 10 / 28) && lit(centre, y0 + g.bh * 18 / 28);
            return dots ? ':' : ' ';
        }
        return '?';
    }
    std::string read_all(const std::vector<glyph_place>& places) const {
        std::string out;
        for (const glyph_place& p : places) {
            out += read(p);
        }
        return out;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// --- taximeter display

// The display as the ride screen places it on a portrait screen: the work area's top, the screen's width,
// 201 high. Its fields for w = 480: the left and right ends 20 wide, the fields 440; the digits' middle line
// M = 54 + 15 + (184 - 23) / 2 = 149.
const rect display_rect{0, 54, 480, 201};

class display_scene : public ride_scene {
protected:
    taximeter_display& show_display(const rect& r = display_rect) {
        open(tall, [this, r](host_panel& host, manager_2& m) {
            display = host.own(std::make_unique<taximeter_display>(&m, r));
        });
        return *display;
    }
    // The whole window painted once more, the lamp's blink starting lit.
    screen_pixels repaint() {
        run();
        taximeter_display::reset_lamp_blink();
        InvalidateRect(window, nullptr, FALSE);
        run();
        return screen_pixels(window);
    }

    taximeter_display* display = nullptr;
};

struct sum_case {
    double value;
    const wchar_t* roubles;
    const wchar_t* kopecks;
};

TEST_F(display_scene, TheSumIsRoundedToWholeKopecksOnceAndLimitedToFiveRoubleDigits) {
    const sum_case cases[] = {
        {5.05, L"05", L"05"},
        {123.4, L"123", L"40"},
        {1.05, L"01", L"05"}, // truncating 1.05 x 100 in single precision gave "04"
        {0.53, L"00", L"53"}, // and "52" here
        {static_cast<double>(1.05f), L"01", L"05"},
        {static_cast<double>(0.53f), L"00", L"53"},
        {0.999, L"01", L"00"}, // the carry reaches the roubles
        {0.0, L"00", L"00"},
        {1234.0, L"1234", L"00"},
        {99999.0, L"99999", L"00"},
        {99999.001, L"00", L"00"},
        {100000, L"00", L"00"},
        {-1, L"00", L"00"},
        {std::numeric_limits<double>::quiet_NaN(), L"00", L"00"},
    };
    taximeter_display& d = show_display();
    for (const sum_case& c : cases) {
        d.set_sum(c.value);
        EXPECT_EQ(d.rouble_text(), c.roubles) << c.value;
        EXPECT_EQ(d.kopeck_text(), c.kopecks) << c.value;
    }
}

struct layout_case {
    const char* name;
    double sum;
    std::vector<glyph_place> roubles;
    std::vector<glyph_place> kopecks;
    const char* rouble_figures;
    const char* kopeck_figures;
};

// The places follow from the fields' widths: two digits in a rouble field of (440 / 5) x 3 = 264 and a kopeck
// field of 176, centred at its quarters; three in a field of 480 - 140 - 20 = 320, a third each, the kopecks on
// the 140-wide right part; four and five in the 440 field, the kopecks not drawn.
const std::vector<layout_case> layout_cases = {
    {"two rouble digits",
     47.36,
     {{86 - 36, 89, display_roubles}, {218 - 36, 89, display_roubles}},
     {{328 - 28, 89, display_kopecks_2}, {416 - 28, 89, display_kopecks_2}},
     "47",
     "36"},
    {"three rouble digits",
     805.29,
     {{73 - 36, 89, display_roubles}, {179 - 36, 89, display_roubles}, {285 - 36, 89, display_roubles}},
     {{340 + 35 - 22, 113, display_kopecks_3}, {340 + 35 - 22 + 44, 113, display_kopecks_3}},
     "805",
     "29"},
    {"four rouble digits",
     1234.0,
     {{75 - 36, 89, display_roubles},
      {185 - 36, 89, display_roubles},
      {295 - 36, 89, display_roubles},
      {405 - 36, 89, display_roubles}},
     {},
     "1234",
     ""},
    {"five rouble digits",
     90817.99,
     {{64 - 30, 99, display_roubles_5},
      {152 - 30, 99, display_roubles_5},
      {240 - 30, 99, display_roubles_5},
      {328 - 30, 99, display_roubles_5},
      {416 - 30, 99, display_roubles_5}},
     {},
     "90817",
     ""},
};

TEST_F(display_scene, EachNumberOfRoubleDigitsHasItsLayout) {
    taximeter_display& d = show_display();
    for (const layout_case& c : layout_cases) {
        SCOPED_TRACE(c.name);
        d.set_sum(c.sum);
        const screen_pixels shown = repaint();
        EXPECT_EQ(shown.read_all(c.roubles), c.rouble_figures);
        EXPECT_EQ(shown.read_all(c.kopecks), c.kopeck_figures);
        if (c.kopecks.empty()) {
            // The kopecks are the display's only white figures.
            EXPECT_FALSE(shown.any_white_in(rect{20, 54 + 24, 440, 144}));
        }
    }
}

TEST_F(display_scene, ACashlessOrderShowsTheCaptionInPlaceOfTheSum) {
    taximeter_display& d = show_display();
    d.set_sum(47.36);
    d.set_cashless(true);
    const auto texts = screen_texts();
    ASSERT_EQ(texts_in(texts, display_rect), std::vector<std::wstring>{L"Безналичный"});
    const auto caption =
        std::find_if(texts.begin(), texts.end(), [](const drawn_text& t) { return t.text == L"Безналичный"; });
    EXPECT_EQ(caption->r, (rect{20, 54, 440, 201}));
    EXPECT_EQ(caption->colour, 0xF8AF2Fu);
    // Above the caption's line, where the "7" has its top stroke, only the cashless window.
    const rect above_caption{20, 95, 440, 30};
    screen_pixels shown = repaint();
    EXPECT_EQ(shown.at(240, 105), 0x0A0E1Eu);
    EXPECT_FALSE(shown.any_lit_in(above_caption));
    d.set_cashless(false);
    shown = repaint();
    EXPECT_EQ(shown.read_all(layout_cases[0].roubles), "47");
    EXPECT_TRUE(shown.any_lit_in(above_caption));
}

// The lamp stands in the bezel band at the right: (480 - 2 x 20, 54), 20 x 20.
TEST_F(display_scene, TheLampBlinksWithOneToggleForEveryDisplay) {
    const point lamp{450, 64};
    constexpr std::uint32_t good = 0x8DC176, poor = 0xFFC300, off = 0x464646;
    taximeter_display* second = nullptr;
    open(tall, [&](host_panel& host, manager_2& m) {
        display = host.own(std::make_unique<taximeter_display>(&m, display_rect));
        second = host.own(std::make_unique<taximeter_display>(&m, rect{0, 400, 480, 201}));
    });
    EXPECT_EQ(repaint().at(lamp.x, lamp.y), poor);
    display->set_gps_ok(true);
    screen_pixels shown = repaint();
    EXPECT_EQ(shown.at(lamp.x, lamp.y), good);
    // One paint of the window painted both: the second display took the toggle's next state.
    EXPECT_EQ(shown.at(lamp.x, 400 + 10), off);
    // So a paint of the first display alone finds the lamp lit again, and the next one dark: the toggle is the
    // program's, not the display's.
    manager->invalidate_rect(display_rect);
    run();
    EXPECT_EQ(screen_pixels(window).at(lamp.x, lamp.y), good);
    manager->invalidate_rect(display_rect);
    run();
    EXPECT_EQ(screen_pixels(window).at(lamp.x, lamp.y), off);
}

// --- ride rows

// The rows as the ride screen places them under the display: 480 - 216 wide, 104 high. Digits step by 16
// from x 75; the time row's tops at 28, the distance row centred on 70.
const rect rows_rect{0, 255, 264, 104};

std::vector<glyph_place> row_places(int first, int count, int top, const segment_geometry& g) {
    std::vector<glyph_place> places;
    for (int i = first; i < first + count; ++i) {
        places.push_back({rows_rect.x + 75 + 16 * i, top, g});
    }
    return places;
}

struct rows_case {
    int hours, minutes, seconds;
    float km;
    const char* time;
    const char* small_seconds;
    const char* distance;
};

TEST_F(display_scene, TheRideRowsWriteTimeAndDistanceInDigitPictures) {
    const rows_case cases[] = {
        {1, 2, 3, 0.35f, " 1:02", "03", "   0.3"},
        {0, 9, 5, 12.5f, " 9:05", "  ", "  12.5"},
        {0, 0, 0, 0.0f, " 0:00", "  ", "   0.0"},
        {12, 34, 56, 1234.56f, "12:34", "56", "1234.5"},
        {0, 59, 59, 1005.0f, "59:59", "  ", "1005.0"},
        // Out of range: hours, minutes and seconds count as 0, the distance as 9999.0.
        {100, 60, -1, 10000.0f, " 0:00", "  ", "9999.0"},
        {0, 0, 5, -3.0f, " 0:05", "  ", "9999.0"},
        {0, 0, 5, std::nanf(""), " 0:05", "  ", "9999.0"},
    };
    ride_rows_widget* rows = nullptr;
    open(tall, [&](host_panel& host, manager_2& m) {
        rows = host.own(std::make_unique<ride_rows_widget>(&m, rows_rect), 2);
    });
    for (const rows_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hours) + ":" + std::to_string(c.minutes) + ":" + std::to_string(c.seconds));
        rows->set_distance(c.km);
        rows->set_time(c.hours, c.minutes, c.seconds);
        run();
        const screen_pixels shown(window);
        const int time_top = rows_rect.y + 28;
        EXPECT_EQ(shown.read_all(row_places(0, 5, time_top, ride_digit)), c.time);
        EXPECT_EQ(shown.read_all(row_places(5, 2, time_top, ride_small_digit)), c.small_seconds);
        EXPECT_EQ(shown.read_all(row_places(0, 6, rows_rect.y + 70 - 14, ride_digit)), c.distance);
    }
}

// --- waiting switch

// The switch as the ride screen places it, 8 px into its frame: 100 x 96. Its bar is 92 wide, centred, its
// middle at 3/4 of the height: (276, 325) to (368, 337).
const rect switch_rect{272, 259, 100, 96};

class switch_scene : public ride_scene {
protected:
    void show_switch() {
        open(tall, [this](host_panel& host, manager_2& m) {
            toggle = host.own(
                std::make_unique<progress_switch>(&m, switch_rect, [this](int state) { calls.push_back(state); }));
        });
    }
    void tap_switch() {
        tap(switch_rect.x + 50, switch_rect.y + 40);
    }

    progress_switch* toggle = nullptr;
    std::vector<int> calls;
};

TEST_F(switch_scene, ATapGivesTheStateBeforeItAndFlipsTurnOffNeverCallsBack) {
    show_switch();
    tap_switch();
    EXPECT_EQ(calls, std::vector<int>{0});
    EXPECT_TRUE(toggle->is_on());
    tap_switch();
    EXPECT_EQ(calls, (std::vector<int>{0, 1}));
    EXPECT_FALSE(toggle->is_on());
    tap_switch();
    toggle->turn_off();
    EXPECT_FALSE(toggle->is_on());
    toggle->turn_off();
    EXPECT_EQ(calls, (std::vector<int>{0, 1, 0}));

    // Lifted outside: released, no call.
    press(switch_rect.x + 50, switch_rect.y + 40);
    EXPECT_TRUE(toggle->is_pressed());
    release(switch_rect.x + 150, switch_rect.y + 40);
    EXPECT_FALSE(toggle->is_pressed());
    EXPECT_FALSE(toggle->is_on());
    // Disabled: the pen does nothing.
    toggle->set_enabled(false);
    tap_switch();
    EXPECT_FALSE(toggle->is_pressed());
    EXPECT_FALSE(toggle->is_on());
    EXPECT_EQ(calls.size(), 3u);
}

TEST(progress_switch_time_text, MinutesAndSecondsWithLeadingZeros) {
    EXPECT_EQ(progress_switch::time_text(0), L"00:00");
    EXPECT_EQ(progress_switch::time_text(5), L"00:05");
    EXPECT_EQ(progress_switch::time_text(125), L"02:05");
    EXPECT_EQ(progress_switch::time_text(3725), L"62:05");
}

TEST_F(switch_scene, OnItShowsTheWaitingTimeAndABarFilledToTheProgress) {
    constexpr std::uint32_t bar_green = 0x4B8F2E;
    show_switch();
    toggle->set_value(125);
    toggle->set_progress(0.5f);
    // Off: the hourglass, no time.
    EXPECT_TRUE(texts_in(screen_texts(), switch_rect).empty());
    tap_switch();
    EXPECT_EQ(texts_in(screen_texts(), switch_rect), std::vector<std::wstring>{L"02:05"});
    struct bar_case {
        float progress;
        bool left_filled;
        bool right_filled;
    };
    for (const bar_case c : {bar_case{0.5f, true, false}, bar_case{1.7f, true, true}, bar_case{-1.0f, false, false},
                             bar_case{std::nanf(""), false, false}}) {
        toggle->set_progress(c.progress);
        run();
        const screen_pixels shown(window);
        EXPECT_EQ(shown.at(276 + 20, 331) == bar_green, c.left_filled) << c.progress;
        EXPECT_EQ(shown.at(276 + 70, 331) == bar_green, c.right_filled) << c.progress;
    }
}

// --- the four together

// The ride screen's upper part as a driver sees it mid-ride: the display with a three-digit sum, the ride rows
// at 1 h 2 min 3 s and 12.3 km, the waiting switch on in its frame, and below them a purchase tariff in a
// scroll view.
TEST_F(display_scene, GoldenOfTheRideWidgets) {
    ride_rows_widget* rows = nullptr;
    progress_switch* toggle = nullptr;
    scroll_view* view = nullptr;
    tariff_widget* tariff = nullptr;
    open(tall, [&](host_panel& host, manager_2& m) {
        display = host.own(std::make_unique<taximeter_display>(&m, display_rect));
        const auto frame = m.get_skin_images()->get_image_by_id(2115);
        host.own(std::make_unique<image_control>(&m, rect{480 - frame->width(), 255, frame->width(), frame->height()},
                                                 frame));
        rows = host.own(std::make_unique<ride_rows_widget>(&m, rows_rect), 2);
        toggle = host.own(std::make_unique<progress_switch>(&m, switch_rect, [](int) {}), 2);
        view = host.own(std::make_unique<scroll_view>(&m, rect{15, 380, 450, 800 - 380}));
        tariff = host.own(std::make_unique<tariff_widget>(&m, rect{0, 0, 450, 420}, tariff_widget::kind_purchase), 0);
        view->add(tariff);
    });
    display->set_sum(805.29);
    display->set_gps_ok(true);
    rows->set_distance(12.34f);
    rows->set_time(1, 2, 3);
    tap(switch_rect.x + 50, switch_rect.y + 40);
    toggle->set_value(125);
    toggle->set_progress(0.4f);
    tariff->set_base_price(99.5f);
    tariff->set_included_km(2.5f);
    tariff->set_included_minutes(10);
    tariff->set_price_per_km(20);
    tariff->set_price_per_minute(4);
    tariff->set_price_per_waiting_minute(3.5f);
    tariff->set_purchase_percent(15);
    tariff->set_purchase_minimum(120);
    while (view->can_scroll_down()) {
        view->scroll_down();
    }
    repaint();
    EXPECT_EQ(golden("ride_widgets"), "");
}

} // namespace
} // namespace zel::form::test
