// The take order panel (12) on the program's own manager against the test dispatch server: the button rule
// over the list kind, the parking area and the current order; the order's texts, stars, icons and time box;
// the "ТАРИФ" tab and the tariff values; the order taken again from the store on "order"; "set-driver" and the
// reactions to its answer; the scroll arrows; the pictures in portrait and landscape.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/controls/caption_radio_button.h"
#include "form/controls/elapsed_time_box.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/scroll_view.h"
#include "form/drawing/drawing.h"
#include "form/order/panel_take_order.h"
#include "form/order/take_order_param.h"
#include "form/order/tariff_widget.h"
#include "foundation/text_utils.h"
#include "tests/form/order/orders_scene.h"
#include "tests/support/dispatch_peer.h"

namespace zel::form::test {
namespace {

using part = panel_take_order::picture_part;
using block = panel_take_order::text_part;

constexpr std::uint32_t time_colour = 0x2E423C;
constexpr std::uint32_t amber = 0xF8BA34;

class take_scene : public orders_scene {
public:
    panel_take_order& panel() {
        return static_cast<panel_take_order&>(*manager->panel_for(panel_take_order::id));
    }
    // Pushes the take order panel for the order of that list kind, as the orders list does.
    void open_order(int32_t kind, const std::wstring& order_id) {
        manager->push_panel(panel_take_order::id, make_take_order_param(kind, order_id));
        run();
        ASSERT_EQ(current_panel_id(), panel_take_order::id);
    }
    void close_order() {
        manager->pop_panel();
        run();
    }
    // A text block's lines joined by blanks, "-" when the block is hidden.
    std::wstring block_text(block b) {
        const multiline_text* t = panel().text(b);
        if (!t->is_visible()) {
            return L"-";
        }
        std::wstring out;
        for (const std::wstring& line : t->lines()) {
            out += (out.empty() ? L"" : L" ") + line;
        }
        return out;
    }
    bool shown(part p) {
        return panel().picture(p)->is_visible();
    }
    int stars() {
        return (shown(part::star1) ? 1 : 0) + (shown(part::star2) ? 1 : 0) + (shown(part::star3) ? 1 : 0);
    }
    // The texts the whole screen draws inside a rectangle.
    std::vector<std::wstring> texts_in(const rect& r) {
        std::vector<std::wstring> out;
        for (const drawn_text& t : screen_texts()) {
            if (point_in_rect(r, t.r.x + 1, t.r.y + 1)) {
                out.push_back(t.text);
            }
        }
        return out;
    }
};

bool contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// --- the button rule

struct button_state {
    const char* name;
    // The server step that brings the state; 0 for the state after the login.
    int step;
    // "Взять заказ" and "Парковка" for list kinds 1, 2 and 3.
    std::array<std::pair<bool, bool>, 3> buttons;
};

TEST(take_order, the_buttons_follow_the_list_kind_the_parking_area_and_the_current_order) {
    constexpr std::pair<bool, bool> take{true, false}, parking{false, true}, neither{false, false};
    const std::vector<button_state> table = {
        // Without session parameters both would stand in one place; only "Парковка", drawn on top, stays.
        {"no session parameters", 0, {parking, parking, parking}},
        {"no area, no current order", 1, {parking, take, neither}},
        {"no area, a current order", 2, {take, take, neither}},
        {"area of type 1, a current order", 3, {take, take, neither}},
        {"area of type 1, no current order", 4, {take, take, neither}},
        {"area of type 2, no current order", 5, {parking, take, neither}},
        {"area of type 2, a current order", 6, {take, take, neither}},
    };
    take_scene scene;
    scene.open_logged_in("take_buttons.script");
    for (const button_state& state : table) {
        SCOPED_TRACE(state.name);
        if (state.step > 0) {
            scene.server_step(state.step);
        }
        for (int kind = 1; kind <= 3; ++kind) {
            SCOPED_TRACE(kind);
            scene.open_order(kind, L"L" + std::to_wstring(kind));
            EXPECT_EQ(scene.panel().take_button()->is_visible(), state.buttons[kind - 1].first);
            EXPECT_EQ(scene.panel().parking_button()->is_visible(), state.buttons[kind - 1].second);
            EXPECT_TRUE(scene.panel().back_button()->is_visible());
            // What the driver reads is what the pen reaches.
            const auto shown = scene.screen_texts();
            const bool take_drawn =
                std::any_of(shown.begin(), shown.end(), [](const drawn_text& t) { return t.text == L"Взять заказ"; });
            EXPECT_EQ(take_drawn, state.buttons[kind - 1].first);
            scene.close_order();
        }
    }
}

// --- the order's texts, stars and icons

TEST(take_order, an_order_shows_its_texts_figures_stars_icons_and_time) {
    take_scene scene;
    scene.open_logged_in("take_order.script");

    scene.open_order(1, L"O1");
    EXPECT_TRUE(same_text(scene.block_text(block::pickup_address), L"ул. Ленина, 1"));
    EXPECT_TRUE(same_text(scene.block_text(block::pickup_note), L"подъезд 2, домофон 15"));
    EXPECT_TRUE(same_text(scene.block_text(block::information), L"Ребёнок, нужно кресло"));
    EXPECT_TRUE(same_text(scene.block_text(block::minimum_sum), L"149"));
    EXPECT_TRUE(same_text(scene.block_text(block::rouble_sign), L"р."));
    EXPECT_TRUE(same_text(scene.block_text(block::distance), L"2.5"));
    EXPECT_TRUE(same_text(scene.block_text(block::kilometre_sign), L"км."));
    EXPECT_TRUE(same_text(scene.block_text(block::destinations), L"Аэропорт, Вокзал (к кассам)"));
    EXPECT_EQ(scene.stars(), 3);
    EXPECT_TRUE(scene.shown(part::trade) && scene.shown(part::icl) && scene.shown(part::of));
    EXPECT_FALSE(scene.shown(part::osid));
    EXPECT_TRUE(scene.shown(part::distance));
    // 45 minutes ahead, at 07:50 (UTC+3).
    EXPECT_TRUE(scene.panel().time_box()->is_visible());
    const auto drawn = scene.screen_texts();
    auto drawn_in = [&](const std::wstring& text, std::uint32_t colour) {
        return std::any_of(drawn.begin(), drawn.end(),
                           [&](const drawn_text& t) { return t.text == text && t.colour == colour; });
    };
    EXPECT_TRUE(drawn_in(L"45", time_colour));
    EXPECT_TRUE(drawn_in(L"07", 0xFFFFFF) && drawn_in(L"50", 0xFFFFFF));
    EXPECT_TRUE(drawn_in(L"149", 0xFFC300));
    EXPECT_TRUE(drawn_in(L"2.5", 0x329B05));
    scene.close_order();

    // A minimum sum of 0, trade with "osid" 5: only the "osid" icon in the shared place; one star.
    scene.open_order(1, L"O2");
    EXPECT_TRUE(same_text(scene.block_text(block::minimum_sum), L"-"));
    EXPECT_TRUE(same_text(scene.block_text(block::rouble_sign), L"-"));
    EXPECT_EQ(scene.stars(), 1);
    EXPECT_TRUE(scene.shown(part::star1));
    EXPECT_TRUE(scene.shown(part::osid));
    EXPECT_FALSE(scene.shown(part::trade) || scene.shown(part::icl) || scene.shown(part::of));
    // "ttp" 0: no time.
    EXPECT_FALSE(scene.panel().time_box()->is_visible());
    scene.close_order();

    // "star" 0, no distance, note or information, a null minimum sum: the divider follows the pick-up address.
    scene.open_order(1, L"O3");
    EXPECT_EQ(scene.stars(), 0);
    EXPECT_TRUE(same_text(scene.block_text(block::minimum_sum), L"-"));
    EXPECT_FALSE(scene.shown(part::distance));
    EXPECT_TRUE(same_text(scene.block_text(block::distance), L"-"));
    EXPECT_TRUE(same_text(scene.block_text(block::kilometre_sign), L"-"));
    EXPECT_TRUE(same_text(scene.block_text(block::destinations), L"-"));
    const rect address = scene.panel().text(block::pickup_address)->get_rect();
    const rect divider = scene.panel().picture(part::divider)->get_rect();
    EXPECT_EQ(divider.y, address.y + address.h + divider.h / 2);
    scene.close_order();
}

// --- the "ТАРИФ" tab and the tariff values

TEST(take_order, the_tariff_tab_shows_own_rates_by_name_or_the_orders_class_and_opens_only_with_own_rates) {
    take_scene scene;
    scene.open_logged_in("take_order.script");

    scene.open_order(1, L"O1");
    caption_radio_button* tab = scene.panel().tariff_tab();
    EXPECT_TRUE(tab->is_enabled());
    // The own-rates picture (paper, 7063) with the rates' name written on it in black.
    const rect picture = tab->image_rect();
    EXPECT_EQ(picture.w, 100);
    EXPECT_EQ(scene.pixel(picture.x + 4, picture.y + picture.h / 2), 0xECEAE2u);
    bool name_drawn = false;
    for (const drawn_text& t : scene.screen_texts()) {
        name_drawn = name_drawn || (t.text == L"Эконом" && t.colour == 0 && t.r == picture);
    }
    EXPECT_TRUE(name_drawn);
    scene.tap(*tab);
    EXPECT_TRUE(tab->is_checked());
    EXPECT_TRUE(scene.panel().tariff_view()->is_visible());
    EXPECT_FALSE(scene.panel().order_view()->is_visible());
    EXPECT_TRUE(contains(scene.texts_in(scene.panel().tariff_view()->get_rect()), L"МИНИМАЛКА"));
    scene.tap(*scene.panel().order_tab());
    EXPECT_TRUE(scene.panel().order_view()->is_visible());
    scene.close_order();

    // Class 14 without own rates: its class picture (graphite, 7052), no second caption, not selectable.
    scene.open_order(1, L"O2");
    tab = scene.panel().tariff_tab();
    EXPECT_FALSE(tab->is_enabled());
    EXPECT_EQ(tab->image_rect().w, 100);
    EXPECT_EQ(scene.pixel(tab->image_rect().x + 4, tab->image_rect().y + tab->image_rect().h / 2), 0x3C3C46u);
    for (const drawn_text& t : scene.screen_texts()) {
        EXPECT_FALSE(point_in_rect(tab->image_rect(), t.r.x + t.r.w / 2, t.r.y + t.r.h / 2)) << wide_to_utf8(t.text);
    }
    scene.tap(*tab);
    EXPECT_FALSE(tab->is_checked());
    EXPECT_TRUE(scene.panel().order_view()->is_visible());
    EXPECT_FALSE(scene.panel().tariff_view()->is_visible());
    scene.close_order();

    // A class outside the table: no picture at all.
    scene.open_order(1, L"O4");
    EXPECT_EQ(scene.panel().tariff_tab()->image_rect().w, 0);
    EXPECT_EQ(panel_take_order::class_image(*scene.panel().kept_order()), 0);
    scene.close_order();
}

struct tariff_case {
    const char* name;
    const wchar_t* order_id;
    std::vector<std::wstring> lines;
    bool purchase;
};

TEST(take_order, tariff_values_come_from_own_rates_with_or_without_a_purchase_or_from_the_reference_tariff) {
    const std::vector<tariff_case> table = {
        {"own rates with a purchase",
         L"O1",
         {L"ВКЛЮЧАЕТ 2.5 КМ ИЛИ 10 МИН", L"120", L"18", L"5", L"4", L"НО НЕ МЕНЕЕ 50 РУБ.", L"10%"},
         true},
        {"own rates without a purchase", L"O3", {L"ВКЛЮЧАЕТ 5 КМ ИЛИ 15 МИН", L"200", L"25", L"7", L"6"}, false},
        // "btax-time" prices both the minute and the waiting minute.
        {"reference tariff T-15", L"O2", {L"ВКЛЮЧАЕТ 3 КМ ИЛИ 10 МИН", L"99.5", L"15.5", L"4"}, false},
        {"a tariff never sent", L"O4", {L"ВКЛЮЧАЕТ 0 КМ ИЛИ 0 МИН", L"0"}, false},
    };
    take_scene scene;
    scene.open_logged_in("take_order.script");
    for (const tariff_case& c : table) {
        SCOPED_TRACE(c.name);
        scene.open_order(1, c.order_id);
        // Shown as its tab shows it; the tab of an order without own rates cannot be selected by the pen.
        scene.panel().on_tab_tariff();
        const auto texts = scene.texts_in(scene.panel().tariff_view()->get_rect());
        for (const std::wstring& line : c.lines) {
            EXPECT_TRUE(contains(texts, line)) << wide_to_utf8(line) << " in " << joined(texts);
        }
        EXPECT_EQ(contains(texts, L"ПОКУПКА ЗАКАЗА"), c.purchase) << joined(texts);
        scene.close_order();
    }
}

// --- the order taken again from the store

TEST(take_order, a_resent_order_is_composed_again_and_after_its_removal_the_last_copy_stays) {
    take_scene scene;
    scene.open_logged_in("take_order.script");
    scene.open_list(1);
    // O1 came first: the last row.
    for (int i = 0; i < 4; ++i) {
        scene.tap(*scene.list().down_button());
    }
    ASSERT_TRUE(scene.tap_text(L"ул. Ленина, 1"));
    ASSERT_EQ(scene.current_panel_id(), panel_take_order::id);
    EXPECT_TRUE(same_text(scene.block_text(block::minimum_sum), L"149"));

    scene.server_step(1);
    EXPECT_TRUE(same_text(scene.block_text(block::information), L"Ребёнок, нужны два кресла"));
    EXPECT_TRUE(same_text(scene.block_text(block::minimum_sum), L"180"));
    EXPECT_EQ(scene.panel().kept_order(), scene.ctl().find_order(1, L"O1"));

    // Taken off the list: no reaction; then an "order" for another order composes the last copy again.
    scene.server_step(2);
    EXPECT_EQ(scene.ctl().find_order(1, L"O1"), nullptr);
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{12, 6, 2}));
    scene.server_step(3);
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{12, 6, 2}));
    EXPECT_TRUE(same_text(scene.block_text(block::minimum_sum), L"180"));
    EXPECT_TRUE(same_text(scene.block_text(block::pickup_address), L"ул. Ленина, 1"));
    EXPECT_TRUE(scene.tap_text(L"Назад"));
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{6, 2}));
}

TEST(take_order, an_order_the_store_does_not_hold_closes_the_panel) {
    take_scene scene;
    scene.open_logged_in("take_order.script");
    scene.manager->push_panel(panel_take_order::id, make_take_order_param(1, L"O5"));
    scene.run();
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{2}));
}

// --- "set-driver" and the reactions to its answer

struct reaction_case {
    const char* name;
    std::string script;
    std::map<std::string, std::string> values;
    // The ride panel (24) under the take order panel, opened directly; otherwise the orders list of that mode,
    // from which the driver taps the order (the menu offers no current orders while the driver has an order).
    bool over_ride;
    int kind;
    std::wstring address;
    std::vector<int> stack;
};

TEST(take_order, set_driver_is_sent_for_the_order_and_its_answer_moves_the_driver_on) {
    const std::vector<reaction_case> table = {
        {"ride panel on the stack",
         "take_set_driver.script",
         {{"ORDER", "O1"}, {"KIND", "1"}},
         true,
         1,
         L"ул. Ленина, 1",
         {24, 2}},
        {"a current order, current orders",
         "take_set_driver.script",
         {{"ORDER", "O1"}, {"KIND", "1"}},
         false,
         1,
         L"ул. Ленина, 1",
         {21, 2}},
        {"a current order, list kind 2",
         "take_set_driver.script",
         {{"ORDER", "S1"}, {"KIND", "2"}},
         false,
         2,
         L"Лесная, 12",
         {2}},
        // The result before the order, in packets of their own: the order's arrival moves the driver on.
        {"no current order yet", "take_set_driver_later.script", {}, false, 1, L"ул. Ленина, 1", {21, 2}},
        {"records first",
         "take_set_driver_split.script",
         {{"ORDER", "O1"}, {"KIND", "1"}, {"SPLIT", "records-first"}},
         false,
         1,
         L"ул. Ленина, 1",
         {21, 2}},
        {"result first",
         "take_set_driver_split.script",
         {{"ORDER", "O1"}, {"KIND", "1"}, {"SPLIT", "result-first"}},
         false,
         1,
         L"ул. Ленина, 1",
         {21, 2}},
        {"result first, ride panel on the stack",
         "take_set_driver_split.script",
         {{"ORDER", "O1"}, {"KIND", "1"}, {"SPLIT", "result-first"}},
         true,
         1,
         L"ул. Ленина, 1",
         {24, 2}},
        {"result first, list kind 2",
         "take_set_driver_split.script",
         {{"ORDER", "S1"}, {"KIND", "2"}, {"SPLIT", "result-first"}},
         false,
         2,
         L"Лесная, 12",
         {2}},
        {"refused", "take_refused.script", {}, false, 1, L"ул. Ленина, 1", {12, 6, 2}},
        // The link broke under the request and the new login failed: the strip shows the server's message.
        {"login failed, a current order", "take_login_lost.script", {}, false, 1, L"ул. Ленина, 1", {-2, 6, 2}},
    };
    for (const reaction_case& c : table) {
        SCOPED_TRACE(c.name);
        take_scene scene;
        scene.open_logged_in(c.script, c.values);
        if (c.over_ride) {
            scene.manager->push_panel(24);
            scene.run();
            scene.open_order(c.kind, L"O1");
        } else {
            scene.manager->push_panel(panel_orders_list::id, make_number_param(c.kind));
            scene.run();
            ASSERT_TRUE(scene.tap_text(c.address));
        }
        ASSERT_EQ(scene.current_panel_id(), panel_take_order::id);
        ASSERT_TRUE(scene.panel().take_button()->is_visible());
        scene.tap(*scene.panel().take_button());
        EXPECT_TRUE(scene.wait([&] { return scene.stack_ids() == c.stack && scene.manager->lock_count() == 0; },
                               "the reaction"))
            << ::testing::PrintToString(scene.stack_ids()) << " lock " << scene.manager->lock_count();
        expect_script_done(*scene.dispatch_server);
        if (c.stack.front() == panel_take_order::id) {
            // The driver stays with the order shown.
            EXPECT_TRUE(same_text(scene.block_text(block::pickup_address), c.address));
        }
    }
}

// A success that never brings the order as the driver's: the panel waits a few seconds, locked (a second tap
// sends nothing), and then returns to the first panel.
TEST(take_order, a_success_without_the_order_following_waits_locked_then_returns_to_the_first_panel) {
    take_scene scene;
    scene.open_logged_in("take_set_driver_alone.script");
    scene.open_list(1);
    ASSERT_TRUE(scene.tap_text(L"ул. Ленина, 1"));
    const size_t before = scene.forwarded();
    scene.tap(*scene.panel().take_button());
    ASSERT_TRUE(scene.wait([&] { return scene.forwarded() > before; }, "the result"));
    scene.run();
    const std::vector<int> waiting = {panel_take_order::id, panel_orders_list::id, 2};
    EXPECT_EQ(scene.stack_ids(), waiting);
    EXPECT_GT(scene.manager->lock_count(), 0);
    scene.tap(*scene.panel().take_button());
    scene.advance(std::chrono::seconds(panel_take_order::settle_seconds - 1));
    EXPECT_EQ(scene.stack_ids(), waiting);
    EXPECT_GT(scene.manager->lock_count(), 0);
    scene.advance(std::chrono::seconds(1));
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{2}));
    EXPECT_EQ(scene.manager->lock_count(), 0);
    EXPECT_EQ(scene.received_containing(R"({"set-driver")").size(), 1u);
    expect_script_done(*scene.dispatch_server);
}

TEST(take_order, parking_replaces_the_stack_with_the_area_list) {
    take_scene scene;
    scene.open_logged_in("take_buttons.script");
    scene.server_step(1);
    scene.open_list(1);
    ASSERT_TRUE(scene.tap_text(L"Первая, 1"));
    ASSERT_TRUE(scene.panel().parking_button()->is_visible());
    EXPECT_TRUE(scene.tap_text(L"Парковка"));
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{9, 2}));
}

// --- scrolling

TEST(take_order, the_arrows_scroll_the_shown_view_and_the_arrow_keys_the_order_view) {
    take_scene scene;
    scene.open_logged_in("take_order.script");
    scene.open_order(1, L"O7");
    panel_take_order& panel = scene.panel();
    EXPECT_FALSE(panel.scroll_up_button()->is_visible());
    ASSERT_TRUE(panel.scroll_down_button()->is_visible());
    scene.tap(*panel.scroll_down_button());
    EXPECT_EQ(panel.order_view()->offset(), -40);
    EXPECT_TRUE(panel.scroll_up_button()->is_visible());
    scene.tap(*panel.scroll_up_button());
    EXPECT_EQ(panel.order_view()->offset(), 0);
    EXPECT_FALSE(panel.scroll_up_button()->is_visible());

    // The keys move the order view, also behind the tariff, and leave the arrows alone.
    scene.tap(*panel.tariff_tab());
    ASSERT_TRUE(panel.tariff_view()->is_visible());
    EXPECT_FALSE(panel.scroll_down_button()->is_visible());
    panel.on_key_down_arrow();
    EXPECT_EQ(panel.order_view()->offset(), -40);
    EXPECT_FALSE(panel.scroll_up_button()->is_visible());
    EXPECT_FALSE(panel.scroll_down_button()->is_visible());
}

// --- pictures

TEST(take_order, goldens_of_both_tabs_in_portrait_and_landscape) {
    for (const auto& [suffix, screen] : {std::pair{std::string(""), platform::screen_size{480, 800, 192}},
                                         std::pair{std::string("_hor"), platform::screen_size{800, 480, 192}}}) {
        SCOPED_TRACE(suffix);
        take_scene scene;
        scene.open_logged_in("take_order.script", {}, screen);
        scene.open_order(1, L"O1");
        EXPECT_EQ(scene.golden("take_order_order" + suffix), "");
        scene.tap(*scene.panel().tariff_tab());
        EXPECT_EQ(scene.golden("take_order_tariff" + suffix), "");
    }
}

} // namespace
} // namespace zel::form::test
