// The order card on a host screen with the default skin and the box font: the flip clock's four digits (or
// 9999) and the call button in their place, the time box's figures by the server's clock, the icons' choice and
// places, and the scroll arrows and offsets through the pen, also across refills of the blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/controls/image_button.h"
#include "form/controls/multiline_text.h"
#include "form/order/frame_icon_button.h"
#include "form/order/order_card.h"
#include "form/shell/manager_2.h"
#include "platform/headless.h"
#include "tests/form/order/ride_scene.h"

namespace zel::form::test {
namespace {

const platform::screen_size tall{480, 800, 192};
// The session's clock: the server's time when the stepped clock starts, and UTC+3.
constexpr int64_t dt_ms = 1600056300000;
const std::string session = R"({"session-param":{"dt":1600056300000,"tzo":10800000,"driver-status":0}})";

const std::wstring long_text = L"Очень длинный адрес подачи с подъездом и этажом, домофоном и кодом калитки, "
                               L"и ещё раз всё это для верности, чтобы текст не поместился в карточке заказа";

using texts = std::vector<std::wstring>;

class card_scene : public ride_scene {
protected:
    order_card& show_card(int height = 500) {
        open(tall, [this, height](host_panel& host, manager_2& m) {
            card = host.own(std::make_unique<order_card>(&m, rect{6, 60, 468, height}, [this] { ++calls; }));
            card->set_order_text(L"По заказу");
        });
        return *card;
    }
    // Repaints the whole window; the window's pixels.
    std::vector<std::uint32_t> pixels() {
        screen_texts();
        int w = 0, h = 0;
        return platform::headless::window_pixels(window, w, h);
    }
    void tap_control(const control& c) {
        const rect& r = c.get_rect();
        tap(r.x + r.w / 2, r.y + r.h / 2);
    }
    void fill(const std::wstring& one, const std::wstring& two, const std::wstring& three) {
        card->set_block_1(one);
        card->set_block_2(two);
        card->set_block_3(three);
    }

    order_card* card = nullptr;
    int calls = 0;
};

TEST_F(card_scene, TheClockDrawsFourDigitsAndAnyOtherLengthAsNines) {
    order_card& c = show_card();
    struct clock_case {
        const wchar_t* text;
        const wchar_t* drawn;
    };
    const clock_case cases[] = {
        {L"0000", L"0000"},  {L"0105", L"0105"}, {L"", L"9999"},
        {L"10005", L"9999"}, {L"12", L"9999"},   {L"1a05", L"1005"}, // a character that is not a digit reads as 0
    };
    c.set_timer_text(L"9999");
    const auto nines = pixels();
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "timer text of length " << std::wstring(k.text).size());
        c.set_timer_text(k.text);
        const auto drawn = pixels();
        EXPECT_EQ(c.painted_digits(), k.drawn);
        // What the clock shows is the stored text from then on.
        EXPECT_EQ(c.timer_text().size(), 4u);
        EXPECT_EQ(drawn == nines, std::wstring(k.drawn) == L"9999");
    }
}

TEST_F(card_scene, TheCallButtonTakesTheClocksPlaceAndCalls) {
    order_card& c = show_card();
    c.set_timer_text(L"0105");
    const auto clock_only = pixels();
    c.set_call_button_visible(true);
    const texts shown = texts_in(screen_texts(), c.get_rect());
    EXPECT_EQ(c.painted_digits(), L"");
    EXPECT_NE(std::find(shown.begin(), shown.end(), L"Позвонить клиенту"), shown.end());
    // The button stands where the clock is drawn.
    const rect b = c.call_button().get_rect();
    EXPECT_LT(b.y, c.text_top());
    EXPECT_GT(b.y + b.h, c.get_rect().y + 55);
    tap_control(c.call_button());
    EXPECT_EQ(calls, 1);

    c.set_call_button_visible(false);
    EXPECT_EQ(pixels(), clock_only);
    EXPECT_EQ(c.painted_digits(), L"0105");
    // A hidden call button takes no tap where the clock is.
    tap_control(c.call_button());
    EXPECT_EQ(calls, 1);
}

TEST_F(card_scene, TheTimeBoxShowsMinutesOrHoursLeftAndTheOrdersClockTime) {
    struct time_case {
        int64_t minutes;
        texts figures; // figure, suffix (when any), hour, minute
    };
    const time_case cases[] = {
        {30, {L"30", L"07", L"35"}}, {90, {L"1", L"ч", L"08", L"35"}},       {-5, {L"-5", L"07", L"00"}},
        {59, {L"59", L"08", L"04"}}, {60 * 25, {L"25", L"ч", L"08", L"05"}},
    };
    order_card& c = show_card();
    connect(session);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.minutes);
        c.set_time(dt_ms + k.minutes * 60 * 1000);
        const auto all = screen_texts();
        EXPECT_EQ(texts_in(all, c.time_box_rect()), k.figures);
    }
}

TEST_F(card_scene, WithoutATimeTheKindIconTakesTheRightmostPlace) {
    order_card& c = show_card();
    connect(session);
    c.set_time(dt_ms);
    screen_texts();
    const rect box = c.time_box_rect();
    EXPECT_EQ(box.x + box.w, c.get_rect().x + c.get_rect().w - 15);
    c.set_time(-1);
    EXPECT_TRUE(texts_in(screen_texts(), box).empty());
    EXPECT_EQ(c.time_box_rect(), rect{});
}

TEST(order_card_icons, TheCountIconFollowsCcsBeforeCcAndTheKindIconItsCode) {
    struct count_case {
        int32_t cc, ccs;
        int icon;
    };
    const count_case counts[] = {{7, 2, 7027},  {7, -1, 7036}, {-1, -1, 7031}, {0, 0, 7031},
                                 {3, -1, 7034}, {-1, 1, 7026}, {-1, 9, 7030},  {1, 0, 7032}};
    for (const auto& k : counts) {
        EXPECT_EQ(order_card::count_icon(k.cc, k.ccs), k.icon) << k.cc << " " << k.ccs;
    }
    const std::pair<int32_t, int> kinds[] = {{0, 7037},   {102, 7037}, {1, 7038}, {2, 7039},  {16, 7039}, {101, 7039},
                                             {100, 7040}, {4, 7041},   {8, 7041}, {-1, 7037}, {3, 7037}};
    for (const auto& [sms, icon] : kinds) {
        EXPECT_EQ(order_card::kind_icon(sms), icon) << sms;
    }
}

TEST_F(card_scene, ATextThatFitsShowsNoArrowsAndScrollingStopsAtTheTop) {
    order_card& c = show_card();
    fill(L"Ленина 1 подъезд 2", L"", L"Мира 5 ");
    EXPECT_FALSE(c.scroll_up_button().is_visible());
    EXPECT_FALSE(c.scroll_down_button().is_visible());

    fill(long_text, long_text, long_text);
    ASSERT_TRUE(c.scroll_down_button().is_visible());
    EXPECT_FALSE(c.scroll_up_button().is_visible());
    tap_control(c.scroll_down_button());
    EXPECT_EQ(c.scroll_offset(), -40);
    EXPECT_TRUE(c.scroll_up_button().is_visible());
    EXPECT_EQ(c.block(1).get_rect().y, c.text_top() - 40);
    tap_control(c.scroll_up_button());
    EXPECT_EQ(c.scroll_offset(), 0);
    EXPECT_FALSE(c.scroll_up_button().is_visible());
    // The up arrow is gone at the top: a key or a late tap could not push the text down.
    c.on_scroll_up();
    EXPECT_EQ(c.scroll_offset(), 0);
}

TEST_F(card_scene, RefillsKeepTheScrollOffsetForEveryBlock) {
    order_card& c = show_card();
    fill(long_text, long_text, long_text);
    tap_control(c.scroll_down_button());
    tap_control(c.scroll_down_button());
    ASSERT_EQ(c.scroll_offset(), -80);
    const rect one = c.block(1).get_rect();
    const rect two = c.block(2).get_rect();
    const rect three = c.block(3).get_rect();

    // The same texts again, as a re-sent order brings them: nothing moves.
    fill(long_text, long_text, long_text);
    EXPECT_EQ(c.block(1).get_rect(), one);
    EXPECT_EQ(c.block(2).get_rect(), two);
    EXPECT_EQ(c.block(3).get_rect(), three);
    EXPECT_EQ(one.y, c.text_top() - 80);
    EXPECT_EQ(two.y, one.y + one.h);
    EXPECT_TRUE(c.scroll_up_button().is_visible());

    // A shorter first block: the others follow it up, still scrolled.
    c.set_block_1(L"Ленина 1");
    EXPECT_EQ(c.block(1).get_rect().y, c.text_top() - 80);
    EXPECT_EQ(c.block(2).get_rect().y, c.block(1).get_rect().y + c.block(1).get_rect().h);
    EXPECT_EQ(c.block(3).get_rect().y, c.block(2).get_rect().y + c.block(2).get_rect().h);

    // Only reset_scroll clears it.
    c.reset_scroll();
    fill(long_text, long_text, long_text);
    EXPECT_EQ(c.block(1).get_rect().y, c.text_top());
}

} // namespace
} // namespace zel::form::test
