// The five small display boxes on the program's own manager with the default skin: the elapsed time and the
// time of day, the number plate's cut and picture, the status box's texts, and a caption or value change that
// repaints the box alone.
#include <cstdint>
#include <limits>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "form/account/color_box.h"
#include "form/controls/elapsed_time_box.h"
#include "form/controls/image_box.h"
#include "form/controls/plate_box.h"
#include "form/order/caption_value_box.h"
#include "form/order/status_text_box.h"
#include "form/shell/panel_base.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/screen_fixture.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t dark_text = 0x2E423C;

// 07:05:30 at UTC+3.
constexpr std::int64_t now_ms = 1600056330000;
constexpr std::int64_t utc_plus_3 = 3 * 3600;

// The boxes stand on the main menu, over a dark filler that hides the menu, as a panel would place them.
class widget_screen : public screen_fixture {
protected:
    void SetUp() override {
        screen_options options;
        options.login_script.clear();
        options.dispatch_script.clear();
        open(options);
        ASSERT_TRUE(reach_menu());
        // The strip's power reports would repaint the clock's place now and then.
        manager->status_panel()->hide();
        // Only the boxes of the test draw: the menu's cells leave the child list.
        manager->current_panel()->clear_controls();
        place(std::make_unique<color_box>(manager.get(), rect{0, 54, 480, 746}));
    }
    void TearDown() override {
        manager->current_panel()->clear_controls();
        close();
        placed_.clear();
    }
    template <class Box> Box* place(std::unique_ptr<Box> box) {
        Box* raw = box.get();
        panel_add_control(*manager->current_panel(), raw, 2);
        placed_.push_back(std::move(box));
        run();
        return raw;
    }
    // The texts of one whole paint with this colour.
    std::vector<drawn_text> shown_in(std::uint32_t colour) {
        std::vector<drawn_text> found;
        for (const drawn_text& t : screen_texts()) {
            if (t.colour == colour) {
                found.push_back(t);
            }
        }
        return found;
    }
    std::uint32_t pixel(int x, int y) {
        int width = 0;
        int height = 0;
        const auto pixels = platform::headless::window_pixels(window, width, height);
        return pixels.at(static_cast<size_t>(y) * width + x);
    }

private:
    std::vector<std::unique_ptr<control>> placed_;
};

// --- elapsed time

TEST(elapsed_time_texts, MinutesBelowAnHourThenWholeHours) {
    struct elapsed_case {
        std::int64_t elapsed_s;
        const wchar_t* number;
        const wchar_t* unit;
    };
    const elapsed_case cases[] = {
        {0, L"0", L""},         {59 * 60 + 59, L"59", L""}, {60 * 60, L"1", L"ч"},
        {119 * 60, L"1", L"ч"}, {125 * 60, L"2", L"ч"},     {25 * 3600, L"25", L"ч"},
    };
    for (const elapsed_case& c : cases) {
        const auto texts = elapsed_time_box::texts_for(now_ms, now_ms / 1000 - c.elapsed_s, utc_plus_3);
        EXPECT_EQ(texts.number, c.number) << c.elapsed_s;
        EXPECT_EQ(texts.unit, c.unit) << c.elapsed_s;
        EXPECT_EQ(texts.hour, L"07");
        EXPECT_EQ(texts.minute, L"05");
    }
}

// Times a server may send at the ends of the 64-bit range: the difference saturates instead of overflowing, and the
// count is the true one (what fits is the painting's business).
TEST(elapsed_time_texts, TimesAtTheEndsOfTheRangeSaturateAndKeepTheirCount) {
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    const struct {
        std::int64_t now_ms;
        std::int64_t start_s;
        bool past; // minutes before the start (negative), else hours after it
    } cases[] = {
        {most, now_ms / 1000, false}, {least, now_ms / 1000, true}, {now_ms, least, false},
        {now_ms, most, true},         {most, least, false},         {least, most, true},
    };
    for (const auto& c : cases) {
        for (const std::int64_t offset : {utc_plus_3, most / 1000, least / 1000}) {
            const auto texts = elapsed_time_box::texts_for(c.now_ms, c.start_s, offset);
            EXPECT_EQ(texts.count < 0, c.past) << c.now_ms << " " << c.start_s;
            EXPECT_EQ(texts.number, int64_to_wstring(texts.count)) << c.now_ms << " " << c.start_s;
            EXPECT_EQ(texts.unit, c.past ? L"" : L"ч") << c.now_ms << " " << c.start_s;
            EXPECT_EQ(texts.hour.size(), 2u);
            EXPECT_EQ(texts.minute.size(), 2u);
        }
    }
    const struct {
        std::int64_t elapsed_s;
        const wchar_t* number;
        const wchar_t* unit;
    } exact[] = {
        {-98 * 60, L"-98", L""},
        {-120 * 60, L"-120", L""},
        {-1440 * 60, L"-1440", L""},
        {1000 * 3600, L"1000", L"ч"},
    };
    for (const auto& c : exact) {
        const auto texts = elapsed_time_box::texts_for(now_ms, now_ms / 1000 - c.elapsed_s, utc_plus_3);
        EXPECT_EQ(texts.number, c.number) << c.elapsed_s;
        EXPECT_EQ(texts.unit, c.unit) << c.elapsed_s;
    }
}

TEST_F(widget_screen, ElapsedTimeBoxDrawsTheElapsedPairCentredAndTheTimeOfDayInItsFields) {
    elapsed_time_box* box = place(std::make_unique<elapsed_time_box>(manager.get(), rect{40, 100, 140, 38}));
    struct painted_case {
        int minutes;
        const wchar_t* number;
        const wchar_t* unit;
    };
    for (const painted_case& c :
         {painted_case{59, L"59", L""}, painted_case{60, L"1", L"ч"}, painted_case{125, L"2", L"ч"}}) {
        box->set_times(now_ms, now_ms / 1000 - c.minutes * 60, utc_plus_3);
        const auto dark = shown_in(dark_text);
        // An empty unit is 0 wide: nothing is drawn for it.
        const size_t pieces = *c.unit ? 2 : 1;
        ASSERT_EQ(dark.size(), pieces) << c.minutes;
        EXPECT_EQ(dark[0].text, c.number);
        int pair_width = dark[0].r.w;
        if (pieces == 2) {
            EXPECT_EQ(dark[1].text, c.unit);
            EXPECT_EQ(dark[0].r.x + dark[0].r.w, dark[1].r.x); // the unit follows the number
            pair_width += dark[1].r.w;
        }
        // The pair is centred on the 40-wide band that starts 12 in.
        EXPECT_NEAR(dark[0].r.x + pair_width / 2, 40 + 12 + 20, 1) << c.minutes;
        EXPECT_EQ(dark[0].r.y, 100);
        EXPECT_EQ(dark[0].r.h, 37);

        const auto clock = shown_in(white);
        ASSERT_EQ(clock.size(), 2u);
        EXPECT_EQ(clock[0].text, L"07");
        EXPECT_EQ(clock[0].r, (rect{40 + 68, 100, 30, 37}));
        EXPECT_EQ(clock[1].text, L"05");
        EXPECT_EQ(clock[1].r, (rect{40 + 106, 100, 30, 37}));
    }
}

// A figure wider than its field steps its font down until it fits (each box font character is half its font's
// height wide), and one that fits not even at half size is held at the nines that do, with a "+". The box's
// left field is the picture's first 60 pixels and the pair is centred 32 in.
TEST_F(widget_screen, ElapsedTimeBoxFitsItsFigureToTheLeftFieldAndHoldsOnlyPastIt) {
    elapsed_time_box* box = place(std::make_unique<elapsed_time_box>(manager.get(), rect{40, 100, 140, 38}));
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    struct fitted_case {
        std::int64_t start_s;
        const wchar_t* number;
        int number_width; // the figure's width in the font it was fitted to
        const wchar_t* unit;
    };
    const fitted_case cases[] = {
        // An order two hours past its time, one a day past, and a start a thousand hours ago.
        {now_ms / 1000 + 120 * 60, L"-120", 4 * 14, L""},
        {now_ms / 1000 + 1440 * 60, L"-1440", 5 * 11, L""},
        {now_ms / 1000 - 1000 * 3600, L"1000", 4 * 12, L"ч"},
        // Past what fits even at half size.
        {now_ms / 1000 - 10000000LL * 3600, L"999999+", 7 * 7, L"ч"},
        {least, L"999999+", 7 * 7, L"ч"},
        {now_ms / 1000 + 100000000LL * 60, L"-999999+", 8 * 7, L""},
    };
    for (const fitted_case& c : cases) {
        box->set_times(now_ms, c.start_s, utc_plus_3);
        const auto dark = shown_in(dark_text);
        ASSERT_EQ(dark.size(), *c.unit ? 2u : 1u) << wide_to_utf8(c.number);
        EXPECT_EQ(dark[0].text, c.number);
        EXPECT_EQ(dark[0].r.w, c.number_width) << wide_to_utf8(c.number);
        const int right = dark.back().r.x + dark.back().r.w;
        EXPECT_GE(dark[0].r.x, 40) << wide_to_utf8(c.number);
        EXPECT_LE(right, 40 + 60) << wide_to_utf8(c.number);
        if (*c.unit) {
            EXPECT_EQ(dark[1].text, c.unit);
        }
    }
}

// --- number plates

TEST(plate_layout, TextsWithARegionAreCutOthersStayWhole) {
    struct plate_case {
        const wchar_t* text;
        plate_box::plate_kind kind;
        std::vector<std::wstring> pieces;
    };
    const plate_case cases[] = {
        // Eleven characters: a three-character region.
        {L"АВ1234[777]", plate_box::letters_first, {L"АВ", L"123", L"4", L"777"}},
        {L"А123ВС[777]", plate_box::ordinary, {L"А", L"123", L"ВС", L"777"}},
        {L"AB1234[199]", plate_box::letters_first, {L"AB", L"123", L"4", L"199"}},
        // Ten characters: the region is the two characters between the brackets.
        {L"А123ВС[77]", plate_box::ordinary, {L"А", L"123", L"ВС", L"77"}},
        {L"ТК1234[50]", plate_box::letters_first, {L"ТК", L"123", L"4", L"50"}},
        // Anything else is written whole.
        {L"А123ВС777", plate_box::plain, {L"", L"", L"", L""}},
        {L"А123ВС[777", plate_box::plain, {L"", L"", L"", L""}},
        {L"А123ВС(77)", plate_box::plain, {L"", L"", L"", L""}},
        {L"", plate_box::plain, {L"", L"", L"", L""}},
    };
    for (const plate_case& c : cases) {
        const plate_box::layout layout = plate_box::layout_for(c.text);
        EXPECT_EQ(layout.kind, c.kind) << wide_to_utf8(c.text);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(layout.pieces[i], c.pieces[i]) << wide_to_utf8(c.text) << " piece " << i;
        }
    }
}

TEST_F(widget_screen, PlateBoxDrawsItsPictureAndPieces) {
    plate_box* plate = place(std::make_unique<plate_box>(manager.get(), rect{40, 300, 232, 56}));
    // The ordinary plate is white, the letters-first one yellow, at a point of the face that no text reaches.
    const int face_x = 40 + 100;
    const int face_y = 300 + 5;

    plate->set_text(L"АВ1234[777]");
    std::vector<drawn_text> black = shown_in(0x000000);
    ASSERT_EQ(black.size(), 4u);
    EXPECT_EQ(black[0].text, L"АВ");
    EXPECT_EQ(black[0].format, 0x28u);
    EXPECT_EQ(black[1].text, L"4");
    EXPECT_EQ(black[1].format, 0x2Au);
    EXPECT_EQ(black[2].text, L"123");
    EXPECT_EQ(black[2].format, 0x29u);
    EXPECT_EQ(black[3].text, L"777");
    EXPECT_EQ(black[3].r, (rect{40 + 175, 300 + 13, 41, 20}));
    const std::uint32_t yellow_face = pixel(face_x, face_y);

    plate->set_text(L"А123ВС[77]");
    black = shown_in(0x000000);
    ASSERT_EQ(black.size(), 4u);
    EXPECT_EQ(black[0].text, L"А");
    EXPECT_EQ(black[1].text, L"ВС");
    EXPECT_EQ(black[2].text, L"123");
    // The series stand at the ends of the 140-wide band; the number fills the space between them.
    const rect band{40 + 20, 300 + 10, 140, 36};
    EXPECT_EQ(black[0].r, band);
    EXPECT_EQ(black[1].r, band);
    EXPECT_GT(black[2].r.x, band.x);
    EXPECT_LT(black[2].r.x + black[2].r.w, band.x + band.w);
    EXPECT_EQ(black[2].r.y, band.y);
    EXPECT_EQ(black[3].text, L"77");
    const std::uint32_t white_face = pixel(face_x, face_y);
    EXPECT_NE(yellow_face, white_face);
    EXPECT_GT(yellow_face >> 16 & 0xFF, 200u);
    EXPECT_LT(yellow_face & 0xFF, 100u); // little blue: yellow

    plate->set_text(L"А123ВС777");
    black = shown_in(0x000000);
    ASSERT_EQ(black.size(), 1u);
    EXPECT_EQ(black[0].text, L"А123ВС777");
    EXPECT_EQ(black[0].format, 0x29u);
    EXPECT_EQ(black[0].r, (rect{40 + 20, 300 + 10, 232 - 40, 36}));
}

// --- status and caption boxes

TEST_F(widget_screen, StatusBoxAlwaysShowsStatusOverAtLunch) {
    status_text_box* box = place(std::make_unique<status_text_box>(manager.get()));
    const rect own = box->get_rect();
    EXPECT_EQ(own, (rect{0, 0, 170, 120}));
    box->set_rect(rect{150, 200, own.w, own.h});
    const auto shown = shown_in(white);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, L"СТАТУС");
    EXPECT_EQ(shown[0].r, (rect{150, 200 + 60, 170, 60}));
    EXPECT_EQ(shown[1].text, L"НА ОБЕДЕ");
    EXPECT_GT(shown[1].r.y, shown[0].r.y);
    EXPECT_EQ(shown[1].r.x, 150);
}

TEST_F(widget_screen, CaptionOrValueChangeRepaintsOnlyTheBox) {
    caption_value_box* box = place(std::make_unique<caption_value_box>(manager.get()));
    box->set_rect(rect{60, 400, 170, 120});
    box->set_caption(L"РЕЙТИНГ");
    run();
    const std::regex paint_rect(R"(paint rect\.x = (\d+)\s+paint rect\.y = (\d+)\s+paint rect\.w = (\d+)\s+)"
                                R"(paint rect\.h = (\d+))");
    auto paints = [&](const std::string& log) {
        std::vector<rect> found;
        for (std::sregex_iterator it(log.begin(), log.end(), paint_rect), end; it != end; ++it) {
            found.push_back(rect{std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4])});
        }
        return found;
    };
    {
        zel::test::log_capture log;
        clear_texts();
        box->set_value(L"-5");
        run();
        EXPECT_EQ(paints(log.text()), std::vector<rect>{(rect{60, 400, 170, 120})});
        const auto drawn = texts();
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0].text, L"-5");
        EXPECT_EQ(drawn[0].r, (rect{60, 410, 170, 60}));
        EXPECT_EQ(drawn[0].format, 0x29u);
        EXPECT_EQ(drawn[1].text, L"РЕЙТИНГ");
        EXPECT_EQ(drawn[1].r, (rect{60, 470, 170, 60}));
        EXPECT_EQ(drawn[1].format, 0x21u);
    }
    {
        zel::test::log_capture log;
        box->set_caption(L"РУБЛЕЙ");
        run();
        EXPECT_EQ(paints(log.text()), std::vector<rect>{(rect{60, 400, 170, 120})});
    }
    {
        // The same texts again: nothing to repaint.
        zel::test::log_capture log;
        box->set_caption(L"РУБЛЕЙ");
        box->set_value(L"-5");
        run();
        EXPECT_TRUE(paints(log.text()).empty());
    }
}

TEST_F(widget_screen, HiddenBoxesDrawNothing) {
    caption_value_box* value = place(std::make_unique<caption_value_box>(manager.get()));
    value->set_value(L"10");
    status_text_box* status = place(std::make_unique<status_text_box>(manager.get()));
    status->set_rect(rect{200, 200, 170, 120});
    elapsed_time_box* elapsed = place(std::make_unique<elapsed_time_box>(manager.get(), rect{40, 600, 140, 38}));
    elapsed->set_times(now_ms, now_ms / 1000, utc_plus_3);
    plate_box* plate = place(std::make_unique<plate_box>(manager.get(), rect{200, 600, 232, 56}));
    plate->set_text(L"А123ВС[77]");
    for (control* c : std::vector<control*>{value, status, elapsed, plate}) {
        c->set_visible(false);
    }
    run();
    for (const drawn_text& t : screen_texts()) {
        EXPECT_EQ(t.colour, 0x959595u) << wide_to_utf8(t.text); // at most the strip's clock
    }
}

// --- the picture

TEST_F(widget_screen, AllBoxesOnTheDefaultSkin) {
    caption_value_box* rating = place(std::make_unique<caption_value_box>(manager.get()));
    rating->set_rect(rect{60, 100, 170, 120});
    rating->set_caption(L"РЕЙТИНГ");
    rating->set_value(L"-5");
    caption_value_box* roubles = place(std::make_unique<caption_value_box>(manager.get()));
    roubles->set_rect(rect{250, 100, 170, 120});
    roubles->set_caption(L"РУБЛЕЙ");
    roubles->set_value(L"150");
    status_text_box* status = place(std::make_unique<status_text_box>(manager.get()));
    status->set_rect(rect{155, 240, 170, 120});
    elapsed_time_box* early = place(std::make_unique<elapsed_time_box>(manager.get(), rect{60, 390, 140, 38}));
    early->set_times(now_ms, now_ms / 1000 - 59 * 60, utc_plus_3);
    elapsed_time_box* late = place(std::make_unique<elapsed_time_box>(manager.get(), rect{280, 390, 140, 38}));
    late->set_times(now_ms, now_ms / 1000 - 125 * 60, utc_plus_3);
    const wchar_t* plates[] = {L"АВ1234[777]", L"А123ВС[777]", L"А123ВС[77]", L"А123ВС777"};
    int top = 450;
    for (const wchar_t* text : plates) {
        plate_box* plate = place(std::make_unique<plate_box>(manager.get(), rect{124, top, 232, 56}));
        plate->set_text(text);
        top += 70;
    }
    EXPECT_EQ(golden("widget_boxes"), "");
}

} // namespace
} // namespace zel::form::test
