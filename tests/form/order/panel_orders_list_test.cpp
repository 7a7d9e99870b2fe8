// The orders list (panel 6) on the program's own manager against the test dispatch server: what each list mode
// shows and in which order, how mode 1 merges new, deleted and re-sent orders while keeping the driver's place,
// the rows' figures, times and icons, the way on to the take order and on-the-way panels, and the pictures.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/controls/image_button.h"
#include "form/controls/list_view.h"
#include "form/order/take_order_param.h"
#include "foundation/text_utils.h"
#include "tests/form/order/orders_scene.h"

namespace zel::form::test {
namespace {

using ids = std::vector<std::wstring>;

constexpr std::uint32_t sum_colour = 0xFFC300;
constexpr std::uint32_t distance_colour = 0x329B05;
constexpr std::uint32_t time_colour = 0x2E423C;
constexpr std::uint32_t white = 0xFFFFFF;

// A row's top at scale 1: the list starts under the 54-pixel strip and its rows are 230 high.
constexpr int row_top(int index) {
    return 54 + 230 * index;
}

// The drawn texts whose rectangle starts inside the row (as shown, first row 0).
std::vector<drawn_text> row_texts(const std::vector<drawn_text>& all, int index) {
    std::vector<drawn_text> out;
    for (const drawn_text& t : all) {
        if (t.r.y >= row_top(index) && t.r.y < row_top(index + 1)) {
            out.push_back(t);
        }
    }
    return out;
}

bool has_text(const std::vector<drawn_text>& texts, const std::wstring& text, std::uint32_t colour) {
    for (const drawn_text& t : texts) {
        if (t.text == text && t.colour == colour) {
            return true;
        }
    }
    return false;
}

std::string listed(const std::vector<drawn_text>& texts) {
    std::string out;
    for (const drawn_text& t : texts) {
        out += (out.empty() ? "" : " | ") + wide_to_utf8(t.text);
    }
    return out;
}

TEST(orders_list, each_mode_shows_its_list_current_orders_newest_first_preliminary_by_time_own_as_stored) {
    orders_scene scene;
    scene.open_logged_in("orders_lists.script");
    scene.open_list(1);
    EXPECT_EQ(scene.row_ids(), (ids{L"C4", L"C3", L"C2", L"C1"}));
    EXPECT_EQ(joined(scene.shown_addresses()), "Вокзальная, 3 | Садовая, 8 | пр. Мира, 15 | ул. Ленина, 1");

    scene.manager->pop_panel();
    scene.run();
    scene.open_list(2);
    EXPECT_EQ(scene.list().mode(), 2);
    // P3 has no "tt": after the others.
    EXPECT_EQ(scene.row_ids(), (ids{L"P2", L"P1", L"P3"}));

    scene.manager->pop_panel();
    scene.run();
    scene.open_list(3);
    EXPECT_EQ(scene.row_ids(), (ids{L"M2", L"M1"}));
    EXPECT_EQ(joined(scene.shown_addresses()), "Полевая, 4 | Новая, 7");
}

TEST(orders_list, mode_2_sorts_many_orders_by_time_with_the_untimed_after_them_in_the_order_they_came) {
    orders_scene scene;
    scene.open_logged_in("orders_many.script");
    ASSERT_TRUE(scene.wait([&] { return scene.ctl().get_orders_2().size() == 18; }, "eighteen orders"));
    scene.open_list(2);
    EXPECT_EQ(scene.row_ids(), (ids{L"T05", L"T10", L"T15", L"T20", L"T25", L"T30", L"T35", L"T40", L"T45", L"T50",
                                    L"T55", L"T60", L"T65", L"U2", L"U6", L"U9", L"U13", L"U17"}));
    // Down to the last row, every row drawn on the way and its new-row flag cleared.
    for (int row = 0; row < 18; ++row) {
        EXPECT_EQ(scene.list().row_selected(row), row < 4 ? 0 : 1) << row;
    }
    for (int i = 0; i < 18; ++i) {
        scene.list().on_arrow_down();
        scene.run();
    }
    EXPECT_EQ(joined(scene.shown_addresses()), "Без времени 9 | Без времени 13 | Без времени 17");
    for (int row = 0; row < 18; ++row) {
        EXPECT_EQ(scene.list().row_selected(row), 0) << row;
    }
}

TEST(orders_list, mode_1_merges_new_deleted_and_resent_orders_also_across_a_hide_and_a_show) {
    orders_scene scene;
    scene.open_logged_in("orders_merge.script");
    scene.open_list(1);
    EXPECT_EQ(scene.row_ids(), (ids{L"C3", L"C2", L"C1"}));

    // C4 new, C2 deleted, C1 with a new minimum sum.
    scene.server_step(1);
    EXPECT_EQ(scene.row_ids(), (ids{L"C4", L"C3", L"C1"}));
    auto shown = scene.screen_texts();
    EXPECT_TRUE(has_text(row_texts(shown, 2), L"150", sum_colour)) << listed(row_texts(shown, 2));
    EXPECT_FALSE(has_text(shown, L"100", sum_colour));
    EXPECT_TRUE(scene.find_texts(L"пр. Мира, 15").empty());

    // Hidden behind the menu while C3 changes and C5 comes; shown again, the list merges both.
    scene.manager->pop_panel();
    scene.run();
    scene.server_step(2);
    scene.open_list(1);
    EXPECT_EQ(scene.row_ids(), (ids{L"C5", L"C4", L"C3", L"C1"}));
    shown = scene.screen_texts();
    EXPECT_TRUE(has_text(row_texts(shown, 2), L"350", sum_colour)) << listed(row_texts(shown, 2));
    EXPECT_FALSE(has_text(shown, L"300", sum_colour));
    // Every row is the store's record of now.
    for (const auto& row : scene.list().rows()) {
        EXPECT_EQ(row, scene.ctl().find_order(1, row->s_id)) << wide_to_utf8(row->s_id);
    }
}

// Thirty orders pushed in one burst while the list is shown, then one packet that deletes, re-sends and adds
// many at once, then another while the list is hidden: new orders on top (later above earlier), kept rows in
// their places, each row the store's record of now.
TEST(orders_list, mode_1_merges_a_burst_and_large_mixed_packets_in_order) {
    orders_scene scene;
    scene.open_logged_in("orders_merge_large.script");
    scene.open_list(1);
    ASSERT_TRUE(scene.row_ids().empty());
    scene.ctl().msg_read(1);
    ASSERT_TRUE(scene.wait([&] { return scene.list().rows().size() == 30; }, "thirty rows"));
    ids expected;
    for (int n = 30; n >= 1; --n) {
        expected.push_back(L"L" + std::to_wstring(n));
    }
    EXPECT_EQ(scene.row_ids(), expected);

    scene.server_step(2);
    expected = {L"L33", L"L31"};
    for (int n = 29; n >= 1; --n) {
        if (n != 3 && n != 10 && n != 17) {
            expected.push_back(L"L" + std::to_wstring(n));
        }
    }
    EXPECT_EQ(scene.row_ids(), expected);
    EXPECT_EQ(scene.list().rows()[11]->s_id, L"L20");
    EXPECT_EQ(scene.list().rows()[11]->msum.value_or(0), 2020.0f);

    scene.manager->pop_panel();
    scene.run();
    scene.server_step(3);
    scene.open_list(1);
    expected.insert(expected.begin(), L"L34");
    expected.erase(std::find(expected.begin(), expected.end(), L"L2"));
    EXPECT_EQ(scene.row_ids(), expected);
    for (const auto& row : scene.list().rows()) {
        EXPECT_EQ(row, scene.ctl().find_order(1, row->s_id)) << wide_to_utf8(row->s_id);
    }
    EXPECT_EQ(scene.list().rows().back()->msum.value_or(0), 111.0f);
    EXPECT_EQ(scene.shown_addresses().front(), L"Улица 34");
}

TEST(orders_list, new_orders_keep_the_drivers_place_for_ten_seconds_after_an_arrow_press) {
    orders_scene scene;
    scene.open_logged_in("orders_scroll.script");
    scene.open_list(1);
    ASSERT_EQ(scene.row_ids().size(), 5u);
    scene.tap(*scene.list().down_button());
    ASSERT_EQ(scene.list().view()->first_row(), 1);

    scene.advance(std::chrono::seconds(5));
    scene.server_step(1);
    EXPECT_EQ(scene.row_ids().front(), L"C6");
    EXPECT_EQ(scene.list().view()->first_row(), 1);

    scene.advance(std::chrono::seconds(6));
    scene.server_step(2);
    EXPECT_EQ(scene.row_ids().front(), L"C7");
    EXPECT_EQ(scene.list().view()->first_row(), 0);
    EXPECT_EQ(scene.shown_addresses().front(), L"Седьмая, 7");
}

TEST(orders_list, rows_show_figures_preliminary_times_and_the_pick_up_note) {
    orders_scene scene;
    scene.open_logged_in("orders_lists.script");
    scene.open_list(1);
    const auto shown = scene.screen_texts();
    // C4: "ttp" 0, distance only (500 m); a null "msum" is absent.
    const auto c4 = row_texts(shown, 0);
    EXPECT_TRUE(has_text(c4, L"0.5", distance_colour)) << listed(c4);
    EXPECT_TRUE(has_text(c4, L" км", distance_colour)) << listed(c4);
    EXPECT_FALSE(has_text(c4, L" р.", sum_colour)) << listed(c4);
    EXPECT_FALSE(has_text(c4, L"вход с торца", 0xCFD3D3)) << listed(c4);
    EXPECT_TRUE(has_text(c4, L"Школа №5 к крыльцу", white)) << listed(c4);
    // C3: no "ttp": line 2 is the pick-up note.
    const auto c3 = row_texts(shown, 1);
    EXPECT_TRUE(has_text(c3, L"у магазина", 0xCFD3D3)) << listed(c3);
    // C2: its own rates' name on the label.
    const auto c2 = row_texts(shown, 2);
    EXPECT_TRUE(has_text(c2, L"Эконом", 0x000000)) << listed(c2);
    EXPECT_TRUE(has_text(c2, L"300", sum_colour)) << listed(c2);

    scene.list().on_arrow_down();
    const auto c1 = row_texts(scene.screen_texts(), 2);
    EXPECT_TRUE(has_text(c1, L"149", sum_colour)) << listed(c1);
    EXPECT_TRUE(has_text(c1, L" р.", sum_colour)) << listed(c1);
    EXPECT_TRUE(has_text(c1, L"2.3", distance_colour)) << listed(c1);
    EXPECT_TRUE(has_text(c1, L" км", distance_colour)) << listed(c1);
    EXPECT_TRUE(has_text(c1, L"Аэропорт терминал B", white)) << listed(c1);

    scene.manager->pop_panel();
    scene.run();
    scene.open_list(2);
    const auto times = scene.screen_texts();
    // P2 45 minutes ahead at 07:50; P1 150 minutes ahead at 09:35 (UTC+3).
    const auto p2 = row_texts(times, 0);
    EXPECT_TRUE(has_text(p2, L"45", time_colour)) << listed(p2);
    EXPECT_FALSE(has_text(p2, L"ч", time_colour)) << listed(p2);
    EXPECT_TRUE(has_text(p2, L"07", white) && has_text(p2, L"50", white)) << listed(p2);
    const auto p1 = row_texts(times, 1);
    EXPECT_TRUE(has_text(p1, L"2", time_colour)) << listed(p1);
    EXPECT_TRUE(has_text(p1, L"ч", time_colour)) << listed(p1);
    EXPECT_TRUE(has_text(p1, L"09", white) && has_text(p1, L"35", white)) << listed(p1);
    EXPECT_TRUE(has_text(p1, L"кв. 10", 0xCFD3D3)) << listed(p1);
    // P3 has no "tt": no time box texts.
    const auto p3 = row_texts(times, 2);
    for (const drawn_text& t : p3) {
        EXPECT_NE(t.colour, time_colour) << wide_to_utf8(t.text);
    }
}

TEST(orders_list, a_class_outside_the_table_draws_no_status_icon) {
    orders_scene scene;
    scene.open_logged_in("orders_lists.script");
    scene.open_list(1);
    // Inside the label's place (it starts 6 right of the row's left edge), left of its glyph and below the
    // name: C4 class 1 (info blue), C3 class 5 (the row's face), C2 its own rates (the paper label).
    const std::uint32_t face = scene.pixel(300, row_top(1) + 110);
    EXPECT_EQ(scene.pixel(6 + 4, row_top(0) + 40), 0x1A5EBBu);
    EXPECT_EQ(scene.pixel(6 + 4, row_top(1) + 40), face);
    EXPECT_EQ(scene.pixel(6 + 4, row_top(2) + 40), 0xECEAE2u);
}

// The places of a row's stars, from the right: the first ends 2m (12) left of the row's right edge, each is the
// star's 24 wide, and a star's middle stands 23 + 12 below the row's top. Counts the places whose middle is not the
// row's face, up to the first that is.
int marked_places(orders_scene& scene, int index) {
    const int top = row_top(index);
    const std::uint32_t face = scene.pixel(300, top + 110);
    int count = 0;
    for (int x = 480 - 12 - 24; x >= 0 && scene.pixel(x + 12, top + 35, false) != face; x -= 24) {
        ++count;
    }
    return count;
}

int row_of(orders_scene& scene, const std::wstring& id) {
    const ids rows = scene.row_ids();
    return static_cast<int>(std::find(rows.begin(), rows.end(), id) - rows.begin());
}

// Stars as many as the order has, up to the places between the row's right edge and what the top line holds (the
// status icon, 6 + 110, and in mode 2 the time box after it, 140 more, each with a margin of 6): 14 places without
// a time box, 8 with one. A count beyond them leaves its last place to a "+".
TEST(orders_list, rows_show_their_stars_as_far_as_the_top_line_holds_and_mark_the_rest) {
    orders_scene scene;
    scene.open_logged_in("orders_holds.script");
    const struct {
        int mode;
        const wchar_t* id;
        int places;
        bool held;
    } cases[] = {
        {1, L"T1", 5, false},
        {1, L"T2", 14, true},
        {2, L"H1", 5, false},
        {2, L"H2", 8, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.id));
        scene.open_list(c.mode);
        const int index = row_of(scene, c.id);
        const auto texts = row_texts(scene.screen_texts(), index);
        EXPECT_EQ(marked_places(scene, index), c.places);
        bool marked = false;
        for (const drawn_text& t : texts) {
            if (t.text == L"+" && t.colour == sum_colour) {
                marked = true;
                EXPECT_EQ(t.r.x, 480 - 12 - 24 * c.places);
            }
        }
        EXPECT_EQ(marked, c.held) << listed(texts);
        scene.manager->pop_panel();
        scene.run();
    }
}

// An order two hours past its time shows "-120" in the time box's left field (the picture's first 60 pixels, after
// the status icon at 6 + 110).
TEST(orders_list, a_preliminary_order_long_past_its_time_shows_its_minutes) {
    orders_scene scene;
    scene.open_logged_in("orders_holds.script");
    scene.open_list(2);
    const auto h1 = row_texts(scene.screen_texts(), row_of(scene, L"H1"));
    bool shown = false;
    for (const drawn_text& t : h1) {
        if (t.text == L"-120" && t.colour == time_colour) {
            shown = true;
            EXPECT_GE(t.r.x, 116);
            EXPECT_LE(t.r.x + t.r.w, 116 + 60);
        }
    }
    EXPECT_TRUE(shown) << listed(h1);
}

// The own tariff's name steps its font down to stay inside its label (110 wide at 6, a 2-pixel border): nothing
// of the name covers the label's sides.
TEST(orders_list, the_own_tariffs_name_stays_inside_its_label) {
    orders_scene scene;
    scene.open_logged_in("orders_holds.script");
    scene.open_list(1);
    const int index = row_of(scene, L"T1");
    EXPECT_TRUE(has_text(row_texts(scene.screen_texts(), index), L"Эконом", 0x000000));
    const int top = row_top(index);
    for (int y = top + 4; y < top + 40; ++y) {
        for (const int x : {6, 7, 6 + 110 - 2, 6 + 110 - 1}) {
            EXPECT_NE(scene.pixel(x, y, false), 0x000000u) << x << "," << y;
        }
    }
}

TEST(orders_list, a_tapped_row_opens_the_take_order_panel_with_the_mode_and_the_order) {
    orders_scene scene;
    scene.open_logged_in("orders_lists.script");
    scene.open_list(3);
    ASSERT_TRUE(scene.tap_text(L"Новая, 7"));
    ASSERT_EQ(scene.manager->top_panel().id, 12);
    const auto* param = param_as<take_order_param>(scene.manager->top_panel().param.get());
    ASSERT_NE(param, nullptr);
    EXPECT_EQ(param->list_kind, 3);
    EXPECT_EQ(param->order_id, L"M1");
}

TEST(orders_list, an_order_that_puts_the_drivers_order_on_the_way_leaves_for_the_on_the_way_panel) {
    orders_scene scene;
    scene.open_logged_in("orders_lists.script");
    scene.open_list(2);
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{6, 2}));
    scene.server_step(1);
    EXPECT_EQ(scene.stack_ids(), (std::vector<int>{21, 2}));
}

TEST(orders_list, goldens_of_the_three_modes) {
    orders_scene scene;
    scene.open_logged_in("orders_lists.script");
    for (int mode = 1; mode <= 3; ++mode) {
        SCOPED_TRACE(mode);
        scene.open_list(mode);
        EXPECT_EQ(scene.golden("orders_list_mode" + std::to_string(mode)), "");
        scene.manager->pop_panel();
        scene.run();
    }
}

} // namespace
} // namespace zel::form::test
