// The shift list (15) against the test dispatch server: each row's name, start, length, price and purchase days,
// a row that opens its shift, shifts deleted under a pressed row, and its picture.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/panel_shift_list.h"
#include "form/controls/list_view.h"
#include "form/controls/text_label.h"
#include "foundation/text_utils.h"
#include "tests/form/account/shift_scene.h"

namespace zel::form::test {
namespace {

using shift_list_screen = shift_scene;

size_t count_of(const std::vector<drawn_text>& texts, const std::wstring& text) {
    return static_cast<size_t>(
        std::count_if(texts.begin(), texts.end(), [&](const drawn_text& t) { return t.text == text; }));
}

TEST_F(shift_list_screen, RowsShowLengthStartPriceAndTheFirstTwoPurchaseDays) {
    ASSERT_NO_FATAL_FAILURE(open_on("shift_list.script"));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(15));
    const auto shown = screen_texts();
    struct expected {
        const wchar_t* text;
        size_t count;
    };
    // Lengths: 12 and 24 hours in hours, 25 and 48 in whole days. 13's "8:00" is no start time; 13's third
    // purchase (17 September) has no place, and its second, without a day, keeps the second place empty.
    const expected table[] = {
        {L"Дневная", 1}, {L"Ночная", 1}, {L"Двое суток", 1}, {L"Сутки", 1}, {L"12", 1},          {L"24", 1},
        {L"ч", 2},       {L"2", 1},      {L"1", 1},          {L"д", 2},     {L"08", 1},          {L"20", 1},
        {L"30", 1},      {L"07", 1},     {L"8:", 0},         {L"450", 1},   {L"13 сентября", 2}, {L"17 сентября", 0},
        {L"300", 1},     {L"1200", 1},   {L"800", 1},        {L" р.", 4},
    };
    for (const expected& e : table) {
        EXPECT_EQ(count_of(shown, e.text), e.count) << wide_to_utf8(e.text);
    }
    EXPECT_EQ(golden("shift_list"), "");

    // A row opens its shift.
    ASSERT_TRUE(tap_text(L"Ночная"));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 16; }));
    EXPECT_EQ(stack_ids(), (std::vector<int>{16, 15, 2}));
    EXPECT_EQ(wide_to_utf8(take_shift().date_label(0)->text()), wide_to_utf8(L"13 сентября"));
}

// A length of whole days that two digits do not hold shows its days, the number's font stepped down until the
// number and "д" fit the length box (43 wide) together; one that fits not even at half size is held with a "+".
// The same on the row and on the shift's own card.
struct length_case {
    int64_t id;
    const wchar_t* number;
};
const length_case long_shifts[] = {{21, L"99"}, {22, L"100"}, {23, L"365"}, {24, L"99999+"}};

::testing::AssertionResult length_fits(const std::vector<drawn_text>& shown, const std::wstring& number) {
    for (const drawn_text& n : shown) {
        for (const drawn_text& unit : shown) {
            if (n.text == number && unit.text == L"д" && unit.r.x == n.r.x + n.r.w && unit.r.y == n.r.y) {
                if (n.r.w + unit.r.w <= 43) {
                    return ::testing::AssertionSuccess();
                }
                return ::testing::AssertionFailure() << "wider than the box: " << n.r.w << " + " << unit.r.w;
            }
        }
    }
    return ::testing::AssertionFailure() << "no \"" << wide_to_utf8(number) << "\" followed by \"д\"";
}

TEST_F(shift_list_screen, LongShiftsShowTheirDaysFittedToTheLengthBox) {
    ASSERT_NO_FATAL_FAILURE(open_on("shift_lengths.script"));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(15));
    const auto rows = screen_texts();
    for (const length_case& c : long_shifts) {
        EXPECT_TRUE(length_fits(rows, c.number)) << "row of " << c.id;
    }
    manager->pop_panel();
    run();
    for (const length_case& c : long_shifts) {
        ASSERT_NO_FATAL_FAILURE(show_take_shift(c.id));
        EXPECT_TRUE(length_fits(screen_texts(), c.number)) << "card of " << c.id;
        manager->pop_panel();
        manager->pop_panel();
        run();
    }
}

TEST_F(shift_list_screen, ShiftsDeletedUnderAPressedRowLeaveTheListWhereItIs) {
    ASSERT_NO_FATAL_FAILURE(open_on("shift_list.script"));
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(show_panel(15));
    auto& panel = static_cast<panel_shift_list&>(*manager->panel_for(15));
    const auto last = find_texts(L"Сутки");
    ASSERT_FALSE(last.empty());
    const int x = last.back().r.x + 5;
    const int y = last.back().r.y + 5;
    press(x, y);
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return panel.row_count() == 2; })) << dispatch_server->transcript();
    // The pressed row is past the rows now: lifting the pen opens nothing.
    release(x, y);
    EXPECT_EQ(current_panel_id(), 15);
    const auto shown = screen_texts();
    EXPECT_EQ(count_of(shown, L"Дневная"), 0u);
    EXPECT_EQ(count_of(shown, L"Ночная"), 0u);
    EXPECT_EQ(count_of(shown, L"Сутки"), 1u);
    EXPECT_EQ(panel.list()->first_row(), 0);
}

} // namespace
} // namespace zel::form::test
