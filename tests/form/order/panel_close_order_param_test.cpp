// The close-order parameters (28) over the bill on the program's screens against the test dispatch server: the
// rows each tariff mode shows, the keys as one table, "Ок" writing back only the rows typed in, "Отмена", the
// distance read with "." and the pictures.
#include <gtest/gtest.h>

#include "api/bill_record.h"
#include "form/controls/keypad.h"
#include "form/controls/keypad_dialog.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/order/panel_close_order_param.h"
#include "form/order/panel_work_bill.h"
#include "form/order/panel_work_execute.h"
#include "form/order/segmented_button.h"
#include "form/order/value_radio_button.h"
#include "foundation/text_utils.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {
namespace {

constexpr int sum_row = panel_close_order_param::sum_row;
constexpr int distance_row = panel_close_order_param::distance_row;
constexpr int downtime_row = panel_close_order_param::downtime_row;

class close_params_screen : public screen_fixture {
protected:
    // The first time logs in with the ride's order current and finishes the ride into the bill; then, from
    // the bill, gives the bill record these figures and opens 28 with the bill's edit.
    void open_params(int64_t mode, float total, float metres, int32_t downtime_seconds,
                     platform::screen_size screen = platform::screen_size{480, 800, 192}) {
        if (!bill) {
            ASSERT_NO_FATAL_FAILURE(open_bill(screen));
        }
        ASSERT_EQ(current_panel_id(), panel_work_bill::id);
        bill->set_tariff_mode(mode);
        bill->set_total(total);
        bill->set_distance(metres);
        bill->set_downtime_seconds(downtime_seconds);
        static_cast<panel_work_bill&>(*manager->panel_for(panel_work_bill::id)).on_edit_params();
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_close_order_param::id; }));
        run();
    }

    void open_bill(platform::screen_size screen) {
        screen_options options;
        options.screen = screen;
        options.dispatch_script = "tests/form/fixtures/ride_login.script";
        options.values = {
            {"RECORDS",
             R"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15","af":{"t":"Ленина, 1"},"at":[{"t":"Мира, 5"}]}})"},
            {"SESSION", ""}};
        ASSERT_NO_FATAL_FAILURE(open(options));
        ASSERT_TRUE(reach_menu());
        ASSERT_NO_FATAL_FAILURE(log_in());
        manager->pop_to_first_quiet();
        manager->push_panel(panel_work_execute::id);
        ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_work_execute::id; }));
        static_cast<panel_work_execute&>(*manager->panel_for(panel_work_execute::id)).finish_ride();
        run();
        ASSERT_EQ(current_panel_id(), panel_work_bill::id);
        bill = ctl().get_bill();
        ASSERT_TRUE(bill);
    }

    panel_close_order_param& params() {
        return static_cast<panel_close_order_param&>(*manager->panel_for(panel_close_order_param::id));
    }
    value_radio_button& row(int index) {
        return *params().row(index);
    }
    // Taps a key of the keypad through the pen path.
    void tap_key(int code) {
        const rect k = params().keys()->pad().key_rect(code);
        tap(k.x + k.w / 2, k.y + k.h / 2);
    }
    void tap_ok() {
        const rect r = params().keys()->ok_rect();
        tap(r.x + r.w / 2, r.y + r.h / 2);
        run();
    }

    std::shared_ptr<zel_api::bill_record> bill;
};

TEST_F(close_params_screen, TheTariffModeChoosesTheRowsStackedFromTheTop) {
    struct row_case {
        int64_t mode;
        bool sum, distance, downtime;
    } const cases[] = {{1, false, true, true}, {2, true, false, false}, {3, true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_NO_FATAL_FAILURE(open_params(c.mode, 300.0f, 12345.0f, 125));
        const bool shown[3] = {c.sum, c.distance, c.downtime};
        const int top = manager->panel_for(panel_close_order_param::id)->own_rect().y;
        const int row_h = static_cast<int>(110 * manager->get_scale());
        int slot = 0;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(row(i).is_visible(), shown[i]) << i;
            EXPECT_EQ(row(i).is_enabled(), shown[i]) << i;
            if (shown[i]) {
                EXPECT_EQ(row(i).get_rect().y, top + row_h * slot++) << i;
            }
        }
        // The keypad stays below the third slot whatever is shown.
        EXPECT_GE(params().keys()->get_rect().y, top + 3 * row_h);
        EXPECT_EQ(row(sum_row).value_text(), L"300");
        EXPECT_EQ(row(distance_row).value_text(), L"12.3");
        EXPECT_EQ(row(downtime_row).value_text(), L"2");
        EXPECT_EQ(params().active_row(), panel_close_order_param::no_row);
        params().on_keypad(keypad_dialog::cancel_code);
        run();
    }
}

TEST_F(close_params_screen, KeysTypeIntoTheActiveRowAsOneTable) {
    ASSERT_NO_FATAL_FAILURE(open_params(3, 0.0f, 0.0f, 0));
    struct key_case {
        int row;
        const wchar_t* start;
        int key;
        const wchar_t* result;
    } const cases[] = {
        {sum_row, L"0", 4, L"5"},               // a lone "0" is replaced
        {sum_row, L"12", 10, L"120"},           // "0" appended
        {sum_row, L"123456", 0, L"123456"},     // a seventh character refused
        {sum_row, L"12", 9, L"12"},             // the point is dead on the sum
        {downtime_row, L"7", 11, L"0"},         // erasing the last character shows "0"
        {downtime_row, L"0", 9, L"0"},          // no point on the downtime
        {distance_row, L"0", 9, L"0."},         // "." keeps the "0"
        {distance_row, L"12.5", 9, L"12.5"},    // a second point refused
        {distance_row, L"12.5", 2, L"12.5"},    // a second decimal refused
        {distance_row, L"12.", 4, L"12.5"},     //
        {distance_row, L"12.5", 11, L"12."},    //
        {distance_row, L"99999", 9, L"99999."}, // six characters taken
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << " " << std::string(c.start, c.start + wcslen(c.start)) << " "
                                        << c.key);
        tap(row(c.row));
        run();
        ASSERT_EQ(params().active_row(), c.row);
        EXPECT_EQ(params().keys()->pad().key_caption(keypad::point_key), c.row == distance_row ? L"." : L"");
        row(c.row).set_value(c.start);
        params().on_keypad(c.key);
        EXPECT_EQ(row(c.row).value_text(), c.result);
    }
}

TEST_F(close_params_screen, KeysWithoutAnActiveRowDoNothing) {
    ASSERT_NO_FATAL_FAILURE(open_params(3, 300.0f, 12345.0f, 125));
    // No row is active at first, and none is drawn lit: what the screen shows is what the keys do.
    for (int i : {sum_row, distance_row, downtime_row}) {
        EXPECT_FALSE(row(i).is_checked()) << i;
    }
    tap_key(4);
    tap_key(keypad::erase_key);
    run();
    EXPECT_EQ(row(sum_row).value_text(), L"300");
    EXPECT_EQ(row(distance_row).value_text(), L"12.3");
    EXPECT_EQ(row(downtime_row).value_text(), L"2");
    tap_ok();
    EXPECT_EQ(current_panel_id(), panel_work_bill::id);
    EXPECT_FLOAT_EQ(bill->total_ref(), 300.0f);
    EXPECT_FLOAT_EQ(bill->distance_ref(), 12345.0f);
    EXPECT_EQ(bill->downtime_seconds_ref(), 125);
}

// "Ок" writes back only what the driver typed: an untouched distance keeps its metres, an untouched downtime
// its seconds, an untouched sum its kopecks.
TEST_F(close_params_screen, OkWritesOnlyTheRowsTypedIn) {
    struct apply_case {
        const char* name;
        int row;
        std::vector<int> keys;
        float total, metres;
        int32_t seconds;
    } const cases[] = {
        {"distance 12.5 km", distance_row, {keypad::erase_key, 4}, 299.5f, 12500.0f, 125},
        {"downtime 7 minutes", downtime_row, {keypad::erase_key, 6}, 299.5f, 12345.0f, 420},
        {"sum 450",
         sum_row,
         {keypad::erase_key, keypad::erase_key, keypad::erase_key, 3, 4, 10},
         450.0f,
         12345.0f,
         125},
        {"typed back to its own text", downtime_row, {keypad::erase_key, 1}, 299.5f, 12345.0f, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(open_params(3, 299.5f, 12345.0f, 125));
        tap(row(c.row));
        run();
        for (int key : c.keys) {
            tap_key(key);
        }
        run();
        tap_ok();
        EXPECT_EQ(current_panel_id(), panel_work_bill::id);
        EXPECT_FLOAT_EQ(bill->total_ref(), c.total);
        EXPECT_FLOAT_EQ(bill->distance_ref(), c.metres);
        EXPECT_EQ(bill->downtime_seconds_ref(), c.seconds);
    }
}

// The whole road through the bill's edit button: a corrected downtime reaches "close-order" while the untouched
// distance keeps its metres (12345, not 12300).
TEST_F(close_params_screen, ACorrectedDowntimeIsSentWithTheDistanceUntouched) {
    ASSERT_NO_FATAL_FAILURE(open_params(3, 300.0f, 12345.0f, 125));
    tap_ok();
    ASSERT_EQ(current_panel_id(), panel_work_bill::id);
    auto& sheet = static_cast<panel_work_bill&>(*manager->panel_for(panel_work_bill::id));
    ASSERT_TRUE(sheet.edit_button()->is_visible());
    tap(*sheet.edit_button());
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == panel_close_order_param::id; }));
    run();
    tap(row(downtime_row));
    run();
    tap_key(keypad::erase_key);
    tap_key(6);
    tap_ok();
    ASSERT_EQ(current_panel_id(), panel_work_bill::id);
    EXPECT_TRUE(tap_text(L"Завершить заказ"));
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"("close-order")").empty(); }));
    const std::string close_line = received_containing(R"("close-order")").back();
    EXPECT_NE(close_line.find(R"({"close-order":{"s-oid":"R-1","sum":300,"dtime":7,"dist":12345,"ucts":0}})"),
              std::string::npos)
        << close_line;
}

TEST_F(close_params_screen, OkWritesOnlyTheRowsTheModeShows) {
    ASSERT_NO_FATAL_FAILURE(open_params(2, 300.0f, 12345.0f, 125));
    // A hidden row typed into by hand is still not the driver's to correct.
    params().on_select_distance();
    params().on_keypad(keypad::erase_key);
    params().on_select_sum();
    params().on_keypad(10);
    tap_ok();
    EXPECT_FLOAT_EQ(bill->total_ref(), 3000.0f);
    EXPECT_FLOAT_EQ(bill->distance_ref(), 12345.0f);
}

TEST_F(close_params_screen, CancelLeavesTheBillUnchanged) {
    ASSERT_NO_FATAL_FAILURE(open_params(3, 300.0f, 12345.0f, 125));
    tap(row(distance_row));
    run();
    tap_key(keypad::erase_key);
    tap(row(downtime_row));
    run();
    tap_key(6);
    EXPECT_TRUE(tap_text(L"Отмена"));
    run();
    EXPECT_EQ(current_panel_id(), panel_work_bill::id);
    EXPECT_FLOAT_EQ(bill->total_ref(), 300.0f);
    EXPECT_FLOAT_EQ(bill->distance_ref(), 12345.0f);
    EXPECT_EQ(bill->downtime_seconds_ref(), 125);
}

TEST(close_params, TheDistanceIsReadWithAPointWhateverTheLocale) {
    struct parse_case {
        const wchar_t* text;
        bool ok;
        double value;
    } const cases[] = {{L"12.5", true, 12.5}, {L"12.", true, 12.0}, {L"0.", true, 0.0},         {L"7", true, 7.0},
                       {L".5", true, 0.5},    {L"", false, 0},      {L".", false, 0},           {L"1,5", false, 0},
                       {L"1.2.3", false, 0},  {L"-3", false, 0},    {L"999999", true, 999999.0}};
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(panel_close_order_param::parse_decimal(c.text, value), c.ok)
            << std::string(c.text, c.text + wcslen(c.text));
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value);
        }
    }
}

// Each row's caption, measured with the real font in the font it is drawn with, lies within its box left of
// the figure at both screen sizes (the landscape rows are half as wide), in a font no smaller than half the
// full size, and the box starts a margin in from the row's left edge.
class close_captions_screen : public close_params_screen,
                              public ::testing::WithParamInterface<platform::screen_size> {};

TEST_P(close_captions_screen, TheRowCaptionsFitTheirBoxesWithTheRealFont) {
    if (!real_font_scope::installed()) {
        GTEST_SKIP() << "Wine's Tahoma (fonts-wine) is not installed";
    }
    ASSERT_NO_FATAL_FAILURE(open_params(zel_api::bill_record::mode_total | zel_api::bill_record::mode_distance_downtime,
                                        300.0f, 12345.0f, 125, GetParam()));
    real_font_scope real;
    const int full = scaled(38, manager->get_scale());
    const std::pair<int, const wchar_t*> rows[] = {
        {sum_row, L"Сумма"}, {distance_row, L"Расстояние"}, {downtime_row, L"Простой"}};
    for (const auto& [index, caption] : rows) {
        SCOPED_TRACE(wide_to_utf8(caption));
        const value_radio_button& shown = row(index);
        const int height = shown.caption_height();
        EXPECT_GE(height * 2, full);
        EXPECT_LE(text_extent(window, font_holder(height, 400), caption).width, shown.caption_rect().w);
        // Not flush against the screen's edge.
        EXPECT_GE(shown.caption_rect().x - shown.get_rect().x, scaled(10, manager->get_scale()));
    }
}

INSTANTIATE_TEST_SUITE_P(sizes, close_captions_screen,
                         ::testing::Values(platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}),
                         [](const auto& info) { return info.param.width == 480 ? "portrait" : "landscape"; });

TEST_F(close_params_screen, ParamsPicture) {
    ASSERT_NO_FATAL_FAILURE(open_params(3, 300.0f, 12345.0f, 125));
    tap(row(distance_row));
    run();
    EXPECT_EQ(golden("close_params"), "");
}

TEST_F(close_params_screen, ParamsPictureOnTheLandscapeScreen) {
    ASSERT_NO_FATAL_FAILURE(open_params(1, 300.0f, 12345.0f, 125, platform::screen_size{800, 480, 192}));
    EXPECT_EQ(golden("close_params_landscape"), "");
}

} // namespace
} // namespace zel::form::test
