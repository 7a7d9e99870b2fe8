// The main menu on the program's own manager and screens: what each cell shows for the driver's state after a
// real login on the test dispatch server, where its taps lead (the parking rule among them), the navigator it
// starts, and its pictures.
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/account/menu_button.h"
#include "form/account/menu_button_ex.h"
#include "form/account/panel_master_panel_2.h"
#include "form/drawing/drawing.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"
#include "tests/form/screen_fixture.h"
#include "tests/support/golden.h"
#include "tests/support/log_capture.h"

namespace zel::form::test {
namespace {

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t grey = 0x969696;
constexpr std::uint32_t black = 0x000000;

// Orders of the lists the top row counts: two current orders, one preliminary order, none of the driver's.
const std::string lists = R"({"order":{"s-id":"C1","l-type":1}}{"order":{"s-id":"C2","l-type":1}})"
                          R"({"order":{"s-id":"P1","l-type":2}})";
const std::string areas =
    R"({"ref-area":{"id":12,"n":"Центр","t":2,"cid":[13]}}{"ref-area":{"id":13,"n":"Вокзал","t":1}})";

std::string session(const std::string& fields) {
    return R"({"session-param":{)" + fields + "}}";
}
std::string current_order(const std::string& fields) {
    return R"({"order":{"s-id":"W1","l-type":4)" + (fields.empty() ? "" : "," + fields) + "}}";
}

// The harness on the menu: logged out (records empty and logged_in false), or logged in on a dispatch server
// whose login answer carries the records and whose answer to every later request is `later`.
class menu_scene : public screen_harness {
public:
    void open_menu(bool logged_in, const std::string& records,
                   const std::string& later = R"({"currency":{"precision":0.5}})",
                   platform::screen_size screen = platform::screen_size{480, 800, 192}) {
        screen_options options;
        options.screen = screen;
        options.dispatch_script = "tests/form/fixtures/menu_login.script";
        options.values["RECORDS"] = records;
        options.values["LATER"] = later;
        open(options);
        ASSERT_TRUE(reach_menu());
        if (logged_in) {
            log_in();
        }
        run();
    }

    panel_master_panel_2& menu() {
        return static_cast<panel_master_panel_2&>(*manager->panel_for(manager_2::master_id));
    }

    // What the driver reads in a cell: its texts in drawing order, a disabled caption with "-" before it, a
    // note or count in brackets.
    std::wstring cell_text(int column, int row) {
        const rect& work = menu().own_rect();
        const rect cell{work.x + column * (work.w / 3), work.y + row * (work.h / 3), work.w / 3, work.h / 3};
        std::wstring out;
        for (const drawn_text& t : shown_texts_) {
            if (!point_in_rect(cell, t.r.x + t.r.w / 2, t.r.y + t.r.h / 2)) {
                continue;
            }
            out += out.empty() ? L"" : L" ";
            out += t.colour == black   ? L"[" + t.text + L"]"
                   : t.colour == grey  ? L"-" + t.text
                   : t.colour == white ? t.text
                                       : L"?" + t.text;
        }
        return out;
    }
    // The nine cells, row by row.
    std::array<std::wstring, 9> cells() {
        shown_texts_ = screen_texts();
        std::array<std::wstring, 9> all;
        for (int i = 0; i < 9; ++i) {
            all[i] = cell_text(i % 3, i / 3);
        }
        return all;
    }
    // Visible buttons per cell, row by row: a cell with two would draw one and give the pen to the other.
    std::array<int, 9> visible_per_cell() {
        std::array<int, 9> count{};
        for (int n = 1; n <= panel_master_panel_2::button_count; ++n) {
            if (menu().button(n)->is_visible()) {
                const rect cell = menu().cell_of(n);
                const rect& work = menu().own_rect();
                ++count[(cell.y - work.y) / cell.h * 3 + (cell.x - work.x) / cell.w];
            }
        }
        return count;
    }
    // The top entry's parameter as a number, none when it has none.
    std::optional<int64_t> top_number() const {
        const auto* n = param_as<number_param>(manager->top_panel().param.get());
        return n ? std::optional<int64_t>(n->value) : std::nullopt;
    }
    // Back to the menu alone on the stack.
    void back_to_menu() {
        manager->pop_to_first();
        run();
    }

    // The whole window with the strip's band blanked: the strip is another screen with goldens of its own.
    std::string menu_golden(const std::string& name) {
        screen_texts();
        int w = 0, h = 0;
        auto pixels = platform::headless::window_pixels(window, w, h);
        for (int i = 0; i < w * menu().own_rect().y && i < static_cast<int>(pixels.size()); ++i) {
            pixels[i] = 0x404040;
        }
        return zel::test::compare_with_golden("tests/form/golden", name, w, h, pixels);
    }

private:
    std::vector<drawn_text> shown_texts_;
};

// Readable Russian in the failure messages.
::testing::AssertionResult same_text(const std::wstring& shown, const std::wstring& expected) {
    if (shown == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\n  shown:    " << wide_to_utf8(shown)
                                         << "\n  expected: " << wide_to_utf8(expected);
}

std::wstring joined(const std::array<std::wstring, 9>& cells) {
    std::wstring out;
    for (const std::wstring& cell : cells) {
        out += (out.empty() ? L"" : L" | ") + cell;
    }
    return out;
}

// The cells that never change: "Навигатор", the inert "Такси", "Организация", "Моя информация", "Выход".
const std::array<std::wstring, 5> fixed_cells = {L"Навигатор", L"-Такси", L"Организация", L"Моя информация", L"Выход"};

struct refresh_case {
    const char* name;
    bool logged_in;
    std::string records;
    // Cells (0,0), (1,0), (2,0) and (0,1).
    std::array<std::wstring, 4> shown;
};

TEST(main_menu, each_state_shows_one_button_a_cell_with_its_notes) {
    const std::wstring current = L"Текущие заказы [2/5]";
    const std::wstring pre = L"Предв. заказы [1]";
    const std::wstring mine = L"Мои заказы [0]";
    const std::string with = lists + areas;
    const std::vector<refresh_case> table = {
        {"logged out", false, "", {L"-Текущие заказы [0/0]", L"-Предв. заказы [0]", L"-Мои заказы [0]", L"Таксометр"}},
        {"no session parameters", true, with, {L"Текущие заказы [2/0]", pre, mine, L"-Выбор района"}},
        {"no driver-status",
         true,
         with + session(R"("oac":5,"area-id":12,"area-queue":3)"),
         {current, pre, mine, L"-Выбор района"}},
        {"not on shift", true, with + session(R"("oac":5,"driver-status":-2)"), {current, pre, mine, L"Не на смене"}},
        {"status -1",
         true,
         with + session(R"("oac":5,"driver-status":-1,"area-id":12)"),
         {current, pre, mine, L"-Выбор района"}},
        {"lunch", true, with + session(R"("oac":5,"driver-status":2)"), {current, pre, mine, L"На обеде"}},
        {"repair", true, with + session(R"("oac":5,"driver-status":3)"), {current, pre, mine, L"На ремонте"}},
        // The taximeter alone in its cell: "Текущие заказы" under it would take the tap.
        {"taximeter, no area",
         true,
         with + session(R"("oac":5,"driver-status":4)"),
         {L"Таксометр", pre, mine, L"Выбор района"}},
        {"taximeter, area 0",
         true,
         with + session(R"("oac":5,"driver-status":4,"area-id":0,"area-queue":3)"),
         {L"Таксометр", pre, mine, L"Выбор района"}},
        {"taximeter in an area with a queue",
         true,
         with + session(R"("oac":5,"driver-status":4,"area-id":12,"area-queue":3)"),
         {L"Таксометр", pre, mine, L"Центр [3]"}},
        {"taximeter in an unknown area",
         true,
         with + session(R"("oac":5,"driver-status":4,"area-id":99,"area-queue":3)"),
         {L"Таксометр", pre, mine, L"Назв. парковки [3]"}},
        {"free, queue 0",
         true,
         with + session(R"("oac":5,"driver-status":0,"area-id":12,"area-queue":0)"),
         {current, pre, mine, L"Центр"}},
        {"free, no area",
         true,
         with + session(R"("oac":5,"driver-status":0)"),
         {current, pre, mine, L"Назв. парковки"}},
        {"status 1 in a parking",
         true,
         with + session(R"("oac":5,"driver-status":1,"area-id":13,"area-queue":2)"),
         {current, pre, mine, L"Вокзал [2]"}},
        {"order 2: on the way",
         true,
         with + session(R"("oac":5,"driver-status":0,"area-id":12)") + current_order(R"("s":2)"),
         {L"В пути", pre, mine, L"-Выбор района"}},
        {"order 4: on the way",
         true,
         with + session(R"("oac":5,"driver-status":0)") + current_order(R"("s":4)"),
         {L"В пути", pre, mine, L"-Выбор района"}},
        {"order 3: at the address",
         true,
         with + session(R"("oac":5,"driver-status":0)") + current_order(R"("s":3)"),
         {L"По адресу", pre, mine, L"-Выбор района"}},
        {"order 7: at the address",
         true,
         with + session(R"("oac":5,"driver-status":0)") + current_order(R"("s":7)"),
         {L"По адресу", pre, mine, L"-Выбор района"}},
        {"order 8 in an area",
         true,
         with + session(R"("oac":5,"driver-status":0,"area-id":12,"area-queue":1)") + current_order(R"("s":8)"),
         {L"Работаю", pre, mine, L"Центр [1]"}},
        {"order 8, no area",
         true,
         with + session(R"("oac":5,"driver-status":0)") + current_order(R"("s":8)"),
         {L"Работаю", pre, mine, L"Выбор района"}},
        {"order of another status",
         true,
         with + session(R"("oac":5,"driver-status":0,"area-id":12)") + current_order(R"("s":6)"),
         {L"", pre, mine, L"-Выбор района"}},
        {"order without a status",
         true,
         with + session(R"("oac":5,"driver-status":0,"area-id":12)") + current_order(""),
         {L"", pre, mine, L"-Выбор района"}},
        {"taximeter with an order",
         true,
         with + session(R"("oac":5,"driver-status":4,"area-id":12,"area-queue":3)") + current_order(R"("s":3)"),
         {L"Таксометр", pre, mine, L"Центр [3]"}},
        {"not on shift with an order",
         true,
         with + session(R"("oac":5,"driver-status":-2)") + current_order(R"("s":8)"),
         {L"", pre, mine, L"Не на смене"}},
    };
    for (const refresh_case& c : table) {
        SCOPED_TRACE(c.name);
        menu_scene scene;
        scene.open_menu(c.logged_in, c.records);
        ASSERT_EQ(scene.current_panel_id(), manager_2::master_id);
        std::array<std::wstring, 9> expected;
        std::copy(c.shown.begin(), c.shown.end(), expected.begin());
        std::copy(fixed_cells.begin(), fixed_cells.end(), expected.begin() + 4);
        EXPECT_TRUE(same_text(joined(scene.cells()), joined(expected)));
        for (int count : scene.visible_per_cell()) {
            EXPECT_LE(count, 1);
        }
    }
}

TEST(main_menu, a_new_state_from_the_server_refreshes_the_shown_menu) {
    menu_scene scene;
    // The answer to the next request: lunch, and the queue emptied.
    scene.open_menu(true, lists + areas + session(R"("oac":5,"driver-status":0,"area-id":12,"area-queue":3)"),
                    session(R"("oac":7,"driver-status":2,"area-queue":0)") + lists +
                        R"({"order":{"s-id":"P2","l-type":2}})");
    auto cells = scene.cells();
    EXPECT_TRUE(same_text(cells[3], L"Центр [3]"));
    scene.ctl().set_driver_status(2);
    ASSERT_TRUE(scene.pump_until([&] { return scene.cells()[3] == L"На обеде"; })) << wide_to_utf8(scene.cells()[3]);
    cells = scene.cells();
    EXPECT_TRUE(same_text(cells[0], L"Текущие заказы [2/7]"));
    EXPECT_TRUE(same_text(cells[1], L"Предв. заказы [2]"));
}

TEST(main_menu, the_parking_cell_drops_the_name_and_the_count_of_an_area_left) {
    menu_scene scene;
    // The answer to the next request: an area that the terminal does not know, and no queue.
    scene.open_menu(true, lists + areas + session(R"("oac":5,"driver-status":0,"area-id":12,"area-queue":3)"),
                    session(R"("area-queue":0,"area-id":99)"));
    EXPECT_TRUE(same_text(scene.cells()[3], L"Центр [3]"));
    scene.ctl().set_parking(99);
    ASSERT_TRUE(scene.pump_until([&] { return scene.cells()[3] != L"Центр [3]"; }));
    EXPECT_TRUE(same_text(scene.cells()[3], L"Назв. парковки"));
}

struct tap_case {
    const char* name;
    std::string session_fields;
    std::wstring text;
    int pushed;
    std::optional<int64_t> parameter;
};

TEST(main_menu, taps_open_the_panels_of_the_buttons_drawn) {
    const std::vector<tap_case> table = {
        {"current orders", R"("driver-status":0)", L"Текущие заказы", 6, 1},
        {"preliminary orders", R"("driver-status":0)", L"Предв. заказы", 6, 2},
        {"own orders", R"("driver-status":0)", L"Мои заказы", 6, 3},
        // Both "Таксометр" and "Текущие заказы" fit this state; the tap goes to the one drawn.
        {"taximeter", R"("driver-status":4)", L"Таксометр", 24, std::nullopt},
        {"area choice", R"("driver-status":4)", L"Выбор района", 9, std::nullopt},
        {"not on shift", R"("driver-status":-2)", L"Не на смене", 8, std::nullopt},
        {"lunch", R"("driver-status":2)", L"На обеде", 8, std::nullopt},
        {"repair", R"("driver-status":3)", L"На ремонте", 8, std::nullopt},
        {"organisation", R"("driver-status":0)", L"Организация", 5, std::nullopt},
        {"my information", R"("driver-status":0)", L"Моя информация", 11, std::nullopt},
        {"exit", R"("driver-status":0)", L"Выход", 17, std::nullopt},
    };
    menu_scene scene;
    // One login; each case's state goes through the store and the manager's queue as a pushed packet does.
    scene.open_menu(true, lists + areas + session(R"("driver-status":0)"));
    for (const tap_case& c : table) {
        SCOPED_TRACE(c.name);
        scene.manager->post_command(scene.ctl().store().process_packet(utf8_to_wide(session(c.session_fields))));
        scene.run();
        ASSERT_TRUE(scene.tap_text(c.text));
        ASSERT_EQ(scene.stack_ids().size(), 2u);
        EXPECT_EQ(scene.stack_ids().front(), c.pushed);
        EXPECT_EQ(scene.top_number(), c.parameter);
        // The id's panel, or the menu while that panel is not built yet.
        EXPECT_EQ(scene.current_panel_id(), scene.manager->panel_for(c.pushed)->panel_id());
        scene.back_to_menu();
    }
}

TEST(main_menu, inert_and_disabled_buttons_open_nothing) {
    menu_scene scene;
    scene.open_menu(false, "");
    for (const wchar_t* text : {L"Таксометр", L"Такси", L"Текущие заказы", L"Предв. заказы", L"Мои заказы"}) {
        SCOPED_TRACE(wide_to_utf8(text));
        ASSERT_TRUE(scene.tap_text(text));
        EXPECT_EQ(scene.stack_ids(), std::vector<int>{manager_2::master_id});
    }
}

struct parking_case {
    const char* name;
    std::string session_fields;
    int pushed;
    std::optional<int64_t> parameter;
};

TEST(main_menu, the_parking_cell_leads_by_the_status_and_the_area) {
    const std::vector<parking_case> table = {
        {"status 1", R"("driver-status":1,"area-id":12)", 9, std::nullopt},
        {"status 4", R"("driver-status":4,"area-id":12)", 9, std::nullopt},
        {"status 0", R"("driver-status":0,"area-id":12)", 8, std::nullopt},
        {"an area of type 2", R"("driver-status":5,"area-id":12)", 10, 12},
        {"an area of type 1", R"("driver-status":5,"area-id":13)", 9, std::nullopt},
        {"an unknown area", R"("driver-status":5,"area-id":99)", 9, std::nullopt},
    };
    for (const parking_case& c : table) {
        SCOPED_TRACE(c.name);
        menu_scene scene;
        scene.open_menu(true, areas + session(c.session_fields));
        ASSERT_TRUE(scene.menu().button(8)->is_visible());
        scene.tap(*scene.menu().button(8));
        EXPECT_EQ(scene.stack_ids(), (std::vector<int>{c.pushed, manager_2::master_id}));
        EXPECT_EQ(scene.top_number(), c.parameter);
    }
}

TEST(main_menu, the_parking_rule_without_a_status_or_an_area_opens_the_area_list) {
    // The cell is not shown in these states; the rule itself still has an answer.
    for (const std::string& fields : {std::string(R"("area-id":12)"), std::string(R"("driver-status":5)")}) {
        SCOPED_TRACE(fields);
        menu_scene scene;
        scene.open_menu(true, areas + session(fields));
        scene.menu().on_parking();
        scene.run();
        EXPECT_EQ(scene.stack_ids(), (std::vector<int>{9, manager_2::master_id}));
        EXPECT_EQ(scene.top_number(), std::nullopt);
    }
    menu_scene scene;
    scene.open_menu(true, areas);
    scene.menu().on_parking();
    scene.run();
    EXPECT_EQ(scene.stack_ids(), std::vector<int>{manager_2::master_id}) << "no session parameters: nothing";
}

struct navigator_case {
    const char* name;
    std::optional<std::string> file; // none: no navigation.txt
    bool starts_succeed;
    std::vector<std::wstring> started;
    std::string log_line;
};

TEST(main_menu, the_navigator_is_the_first_line_of_navigation_txt_started_without_arguments) {
    const std::vector<navigator_case> table = {
        {"a path", "/opt/navi/navi\n/second/line\n", true, {L"/opt/navi/navi"}, ""},
        {"a line ended by CR LF", "navit\r\n", true, {L"navit"}, ""},
        {"no file", std::nullopt, true, {}, "panel_master_panel_2::start_navigator: no navigation.txt"},
        {"an empty first line",
         "\n/opt/navi/navi\n",
         true,
         {},
         "panel_master_panel_2::start_navigator: navigation.txt names no program"},
        {"an empty file", "", true, {}, "panel_master_panel_2::start_navigator: navigation.txt names no program"},
        {"a program that does not start",
         "/no/such/navi\n",
         false,
         {L"/no/such/navi"},
         "panel_master_panel_2::start_navigator: cannot start /no/such/navi"},
    };
    for (const navigator_case& c : table) {
        SCOPED_TRACE(c.name);
        menu_scene scene;
        scene.open_menu(false, "");
        if (c.file) {
            std::ofstream(scene.folder.path() / "navigation.txt", std::ios::binary) << *c.file;
        }
        scene.processes.set_starts_succeed(c.starts_succeed);
        zel::test::log_capture log;
        ASSERT_TRUE(scene.tap_text(L"Навигатор"));
        std::vector<std::wstring> started;
        for (const auto& s : scene.processes.starts()) {
            EXPECT_TRUE(s.arguments.empty());
            started.push_back(s.program);
        }
        EXPECT_EQ(started, c.started);
        if (!c.log_line.empty()) {
            EXPECT_NE(log.text().find(c.log_line), std::string::npos) << log.text();
        }
        EXPECT_EQ(scene.stack_ids(), std::vector<int>{manager_2::master_id});
    }
}

// The parking cell's queue badge at both screen sizes: its figure is drawn tall enough to read from the
// driver's seat (at least 20 pixels of ink, 2.6 mm at 192 dpi), inside the badge, and the badge ends a gap
// above the caption under it (the landscape cell is too low for the picture and the caption apart).
TEST(main_menu, the_queue_badge_is_readable_and_clear_of_the_caption) {
    for (const platform::screen_size screen :
         {platform::screen_size{480, 800, 192}, platform::screen_size{800, 480, 192}}) {
        SCOPED_TRACE(screen.width);
        menu_scene scene;
        scene.open_menu(true, lists + areas + session(R"("oac":5,"driver-status":4,"area-id":12,"area-queue":3)"),
                        R"({"currency":{"precision":0.5}})", screen);
        const auto* parking = dynamic_cast<const menu_button_ex*>(scene.menu().button(8));
        ASSERT_NE(parking, nullptr);
        const rect badge = parking->badge_rect();
        ASSERT_GT(badge.w, 0);
        EXPECT_LT(badge.y + badge.h, parking->caption_rect().y);
        const rect text = parking->badge_text_rect();
        EXPECT_GE(text.x, badge.x);
        EXPECT_GE(text.y, badge.y);
        EXPECT_LE(text.x + text.w, badge.x + badge.w);
        EXPECT_LE(text.y + text.h, badge.y + badge.h);

        scene.screen_texts();
        int w = 0, h = 0;
        const auto pixels = platform::headless::window_pixels(scene.window, w, h);
        // The figure's black ink in the badge's middle columns (its rounded corners show the cell's black).
        int top = badge.y + badge.h, bottom = badge.y - 1;
        for (int y = badge.y; y < badge.y + badge.h; ++y) {
            for (int x = badge.x + badge.w / 4; x < badge.x + badge.w - badge.w / 4; ++x) {
                if ((pixels[static_cast<std::size_t>(y * w + x)] & 0xFFFFFF) == 0) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_GE(bottom - top + 1, 20);
    }
}

TEST(main_menu, golden_logged_out) {
    menu_scene scene;
    scene.open_menu(false, "");
    EXPECT_EQ(scene.menu_golden("menu_logged_out"), "");
}

TEST(main_menu, golden_taximeter_in_an_area_with_a_queue) {
    menu_scene scene;
    scene.open_menu(true, lists + areas + session(R"("oac":5,"driver-status":4,"area-id":12,"area-queue":3)"));
    EXPECT_EQ(scene.menu_golden("menu_status4_area_queue"), "");
}

} // namespace
} // namespace zel::form::test
