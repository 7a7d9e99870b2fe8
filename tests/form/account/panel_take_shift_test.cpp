// The take-shift screen (16) over the shift list, against the test dispatch server of shifts.script: which shifts
// can be bought, the purchase days on the service's clock, "buy-shift" and its answers, a purchase that arrives
// while the card is shown, and its pictures in both screen shapes.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/controls/frame_image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/text_label.h"
#include "foundation/text_utils.h"
#include "tests/form/account/shift_scene.h"

namespace zel::form::test {
namespace {

using take_shift_screen = shift_scene;

std::string utf8(const std::wstring& text) {
    return wide_to_utf8(text);
}

TEST_F(take_shift_screen, TheCardShowsItsShiftAndBuyingFollowsStatusAndPurchases) {
    struct shift_case {
        int64_t id;
        bool can_buy;
        bool badge;
        // The two date places: empty for a place not shown.
        std::wstring first_day;
        std::wstring second_day;
        std::vector<std::wstring> texts;
    };
    // 13 was bought three times: its second purchase has no start day, so the second place stays empty and the
    // third purchase does not move into it. Days are the service's (UTC+3): 1600000000 is 13 September 15:26
    // there, 1600300000 is already 17 September (16 September in UTC).
    const shift_case cases[] = {
        {11, true, false, L"", L"", {L"Дневная", L"300", L"08", L"00", L"12", L"ч"}},
        {12, true, true, L"13 сентября", L"", {L"Ночная", L"450", L"20", L"30", L"24", L"ч"}},
        {13, false, true, L"13 сентября", L"", {L"Двое суток", L"1200", L"2", L"д"}},
        {14, false, false, L"", L"", {L"Сутки", L"800", L"07", L"1", L"д"}},
    };
    ASSERT_NO_FATAL_FAILURE(open_shifts());
    for (const shift_case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_NO_FATAL_FAILURE(show_take_shift(c.id));
        panel_take_shift& panel = take_shift();
        EXPECT_EQ(panel.buy_button()->is_visible(), c.can_buy);
        EXPECT_EQ(panel.buy_button()->is_enabled(), c.can_buy);
        EXPECT_EQ(panel.badge()->is_visible(), c.badge);
        const std::wstring days[] = {c.first_day, c.second_day};
        for (int place = 0; place < 2; ++place) {
            EXPECT_EQ(panel.date_label(place)->is_visible(), !days[place].empty()) << place;
            if (!days[place].empty()) {
                EXPECT_EQ(utf8(panel.date_label(place)->text()), utf8(days[place]));
            }
        }
        const auto shown = screen_texts();
        for (const std::wstring& text : c.texts) {
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const drawn_text& t) { return t.text == text; }))
                << utf8(text);
        }
        // "8:00" is no start time: neither box shows a part of it.
        if (c.id == 13) {
            for (const drawn_text& t : shown) {
                EXPECT_NE(t.text, L"8:") << "a start time of four characters is split";
                EXPECT_NE(t.text, L"00");
            }
        }
        manager->pop_to_first();
        run();
    }
}

TEST_F(take_shift_screen, BuyingSendsTheIdAndSuccessReturnsToTheListWhileRefusalStays) {
    ASSERT_NO_FATAL_FAILURE(open_shifts());
    ASSERT_NO_FATAL_FAILURE(show_take_shift(11));
    ASSERT_TRUE(tap_text(L"Купить смену"));
    ASSERT_TRUE(wait_received(R"({"buy-shift":{"id":11}})")) << dispatch_server->transcript();
    // The shift list has no screen of its own here, so the stack tells where the result led.
    ASSERT_TRUE(pump_until([&] { return stack_ids() == std::vector<int>{15, 2}; })) << dispatch_server->transcript();
    EXPECT_EQ(manager->lock_count(), 0);
    // The purchase came with the result: shown again, the card has its day and the badge.
    ASSERT_NO_FATAL_FAILURE(show_take_shift(11));
    EXPECT_EQ(utf8(take_shift().date_label(0)->text()), utf8(L"17 сентября"));
    EXPECT_TRUE(take_shift().badge()->is_visible());
    manager->pop_to_first();
    run();

    // Refused: the card stays, unlocked, and "Назад" goes back to the list.
    ASSERT_NO_FATAL_FAILURE(show_take_shift(12));
    ASSERT_TRUE(tap_text(L"Купить смену"));
    ASSERT_TRUE(wait_received(R"({"buy-shift":{"id":12}})")) << dispatch_server->transcript();
    // The server then reports a second purchase of 12 on its own: its day shows at once and two purchases leave
    // nothing to buy.
    ASSERT_TRUE(pump_until([&] { return take_shift().date_label(1) && take_shift().date_label(1)->is_visible(); }))
        << dispatch_server->transcript();
    EXPECT_EQ(current_panel_id(), panel_take_shift::id);
    EXPECT_EQ(manager->lock_count(), 0);
    EXPECT_EQ(utf8(take_shift().date_label(1)->text()), utf8(L"17 сентября"));
    EXPECT_FALSE(take_shift().buy_button()->is_visible());
    ASSERT_TRUE(tap_text(L"Назад"));
    EXPECT_EQ(stack_ids(), (std::vector<int>{15, 2}));
}

TEST_F(take_shift_screen, TakeShiftPicture) {
    ASSERT_NO_FATAL_FAILURE(open_shifts());
    ASSERT_NO_FATAL_FAILURE(show_take_shift(12));
    EXPECT_EQ(golden("take_shift"), "");
}

TEST_F(take_shift_screen, TakeShiftOnTheLandscapeScreen) {
    ASSERT_NO_FATAL_FAILURE(open_shifts(platform::screen_size{800, 480, 192}));
    ASSERT_NO_FATAL_FAILURE(show_take_shift(12));
    EXPECT_EQ(golden("take_shift_landscape"), "");
}

} // namespace
} // namespace zel::form::test
