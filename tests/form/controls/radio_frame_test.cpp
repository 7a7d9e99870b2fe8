// Radio groups as a table of taps, value texts, fitted figures, frame and offer buttons, the scroll view, and a
// scene with no skin at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "form/account/color_box.h"
#include "form/account/menu_button_ex.h"
#include "form/account/menu_button_note.h"
#include "form/controls/caption_radio_button.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/frame_text_button.h"
#include "form/controls/image_control.h"
#include "form/controls/keypad_dialog.h"
#include "form/controls/line_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/radio_group.h"
#include "form/controls/scroll_view.h"
#include "form/controls/state_button.h"
#include "form/controls/text_label.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/frame_icon_button.h"
#include "form/order/icon_button.h"
#include "form/order/offer_take_button.h"
#include "form/order/segmented_button.h"
#include "form/order/value_radio_button.h"
#include "platform/headless.h"
#include "tests/form/controls/control_scene.h"

namespace zel::form::test {
namespace {

using zel::test::pixel_at;
using zel::test::rows_of;

class radio_scene : public control_scene {};

TEST_F(radio_scene, group_keeps_one_checked_as_taps_go) {
    // Three grouped rows at y 100, 200, 300 (80 high) and one without a group at y 400.
    radio_group group;
    std::vector<std::string> events;
    radio_button* rows[4] = {};
    open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
        for (int i = 0; i < 4; ++i) {
            auto on_select = [&, i] {
                std::string checked;
                for (radio_button* r : rows) {
                    checked += r && r->is_checked() ? '1' : '0';
                }
                events.push_back("select " + std::to_string(i) + " sees " + checked);
            };
            rows[i] = host.own(std::make_unique<radio_button>(&form, rect{0, 100 * (i + 1), 480, 80},
                                                              i == 2 ? std::function<void()>() : on_select,
                                                              i < 3 ? &group : nullptr));
        }
    });
    struct tap_step {
        int row;
        const char* checked;
        std::vector<std::string> events;
    };
    const tap_step steps[] = {
        {0, "1000", {"select 0 sees 1000"}},
        {0, "1000", {}},                     // the checked member again: nothing
        {1, "0100", {"select 1 sees 0100"}}, // the others are unchecked before the callback
        {2, "0010", {}},                     // an empty on_select does nothing
        {3, "0011", {}},                     // no group: checked, no callback
        {0, "1001", {"select 0 sees 1001"}},
    };
    for (const tap_step& s : steps) {
        events.clear();
        tap(240, 100 * (s.row + 1) + 40);
        std::string checked;
        for (radio_button* r : rows) {
            checked += r->is_checked() ? '1' : '0';
        }
        EXPECT_EQ(checked, s.checked) << "tap " << s.row;
        EXPECT_EQ(events, s.events) << "tap " << s.row;
    }
    rows[0]->set_checked(false);
    EXPECT_FALSE(rows[0]->is_checked());
}

TEST_F(radio_scene, value_texts_are_taken_by_the_rule) {
    open({480, 800, 192}, nullptr);
    value_radio_button row(manager.get(), {0, 100, 480, 100}, nullptr, nullptr, L"Сумма", nullptr);
    struct value_case {
        std::wstring text;
        std::wstring value;
    };
    const value_case cases[] = {
        {L"123456", L"123456"},
        {L"1234.5", L"1234.5"},
        {L"1234567", L"1234.5"},
        {L"12345.6", L"1234.5"},
        {L"1.25", L"1234.5"},
        {L"1.2.3", L"1234.5"},
        {L"", L"0"},
        {L"12.", L"12."},
        {L".5", L".5"},
    };
    for (const value_case& c : cases) {
        row.set_value(c.text);
        EXPECT_EQ(row.value_text(), c.value) << std::string(c.text.begin(), c.text.end());
    }
}

TEST_F(radio_scene, fitted_figures_shrink_but_never_to_height_zero) {
    struct fit_case {
        platform::screen_size screen;
        std::wstring text;
        int box_width;
        int height;
    };
    // Box font: six characters of a font n high are 6 x (n / 2) wide; the text must fit box width - 8 x scale.
    const fit_case cases[] = {
        {{480, 800, 192}, L"123456", 200, 65}, {{480, 800, 192}, L"123456", 100, 31},
        {{480, 800, 192}, L"123456", 8, 1},    {{240, 320, 96}, L"123456", 200, 32}, // sizes 65 x 0.5 down
        {{240, 320, 96}, L"123456", 8, 1}, // 1 x 0.5 would be 0: the smallest real size instead
    };
    for (const fit_case& c : cases) {
        open(c.screen, nullptr);
        value_radio_button row(manager.get(), {0, 100, 200, 60}, nullptr, nullptr, L"", nullptr);
        EXPECT_EQ(row.fitted_height(c.text, c.box_width), c.height) << c.screen.width << " " << c.box_width;
        teardown();
    }
}

TEST_F(radio_scene, caption_tab_without_pictures_measures_them_as_zero) {
    open({480, 800, 192}, nullptr);
    radio_group group;
    caption_radio_button tab(manager.get(), {0, 100, 200, 60}, nullptr, nullptr, std::make_shared<Image>(), L"ТАРИФ",
                             &group);
    EXPECT_EQ(tab.image_rect(), (rect{26, 130, 0, 0}));
    // The caption keeps its 6-pixel gap from the (empty) picture and from the tab's right edge.
    EXPECT_EQ(tab.caption_rect(), (rect{26 + 6, 100, 174 - 2 * 6, 60}));
    Graphics g(200, 200, nullptr);
    tab.set_subcaption(L"7");
    tab.paint(g, {0, 0, 200, 200}, 0, 0);
    tab.select(); // an empty on_select in a group does nothing
    tab.paint(g, {0, 0, 200, 200}, 0, 0);
    EXPECT_TRUE(tab.is_checked());
}

TEST_F(radio_scene, frame_icon_button_and_offer_badges_are_placed_by_their_sizes) {
    open({480, 800, 192}, nullptr);
    auto skin = manager->get_skin_images();
    // Box font 25: "Да  " is 48 wide, the two blanks 24; the 64 x 64 icon and the text centred together.
    frame_icon_button icon(manager.get(), {0, 100, 300, 100}, nullptr, skin->get_image_by_id(1026), L"Да");
    EXPECT_EQ(icon.icon_position(), (point{150 - (64 + 48) / 2, 150 - 32}));
    EXPECT_EQ(icon.caption_rect(), (rect{94 + 64 + 24, 118 - 10, 64 + 48, 64}));

    offer_take_button take(manager.get(), {0, 300, 240, 200}, nullptr);
    EXPECT_EQ(take.badge_text(), L"-1");
    EXPECT_EQ(take.time_text(), L"00:00");
    EXPECT_EQ(take.badge_rect(), (rect{176, 300, 64, 32}));
    EXPECT_EQ(take.badge_text_rect(), (rect{171, 302, 64, 32}));

    // With the badge off, nothing is drawn in its corner.
    for (bool active : {true, false}) {
        Graphics g(240, 200, nullptr);
        offer_take_button b(manager.get(), {0, 0, 239, 199}, nullptr);
        b.set_badge_text(L"4.9");
        b.set_active(active);
        b.paint(g, {0, 0, 240, 200}, 0, 0);
        const std::uint32_t corner = pixel_at(g, 180, 28); // in the badge, clear of its text
        if (active) {
            EXPECT_EQ(corner, 0x4B8F2Eu);
        } else {
            EXPECT_NE(corner, 0x4B8F2Eu);
        }
    }
}

TEST_F(radio_scene, scroll_view_steps_and_clips_its_children) {
    open({240, 320, 96}, nullptr);
    scroll_view view(manager.get(), {2, 2, 6, 4});
    auto red = Image::from_png_bytes(zel::test::solid_png(4, 4, 0xFFFF0000).data(),
                                     zel::test::solid_png(4, 4, 0xFFFF0000).size(), 1.0f, 1.0f);
    image_control child(manager.get(), {1, 1, 4, 4}, red);
    view.add(&child);
    EXPECT_EQ(view.content_height(), 5);
    EXPECT_FALSE(view.can_scroll_up());
    EXPECT_TRUE(view.can_scroll_down());
    const std::map<std::uint32_t, char> legend{{0, '.'}, {0xFF0000, 'r'}};
    Graphics g(10, 8, nullptr);
    view.paint(g, {}, 0, 0);
    EXPECT_EQ(rows_of(g, legend), (std::vector<std::string>{"..........", "..........", "..........", "...rrrr...",
                                                            "...rrrr...", "...rrrr...", "..........", ".........."}));
    view.scroll_down();
    EXPECT_EQ(view.offset(), -20); // one step is 40 x 0.5
    EXPECT_TRUE(view.can_scroll_up());
    EXPECT_FALSE(view.can_scroll_down());
    Graphics moved(10, 8, nullptr);
    view.paint(moved, {}, 0, 0);
    EXPECT_EQ(rows_of(moved, legend)[3], "..........");
    view.scroll_up();
    EXPECT_EQ(view.offset(), 0);
    scroll_view empty(manager.get(), {0, 0, 10, 10});
    EXPECT_EQ(empty.content_height(), 0);
    EXPECT_FALSE(empty.can_scroll_down());
}

TEST_F(radio_scene, every_control_draws_without_a_skin_and_without_pictures) {
    std::filesystem::remove_all(skin_.path() / "skin");
    radio_group group;
    std::vector<int> codes;
    open({240, 320, 96}, [&](host_panel& host, manager_2& form) {
        std::shared_ptr<Image> none;
        auto empty = std::make_shared<Image>();
        host.own(std::make_unique<image_button>(&form, rect{0, 30, 40, 20}, nullptr, none, empty));
        host.own(std::make_unique<icon_button>(&form, rect{40, 30, 40, 20}, nullptr, empty, none, empty, L"Иконка"));
        host.own(std::make_unique<segmented_button>(&form, rect{80, 30, 40, 20}, nullptr));
        host.own(std::make_unique<menu_button_ex>(&form, rect{120, 30, 40, 20}, nullptr, empty, none, L"М", none))
            ->set_subcaption(L"2");
        host.own(std::make_unique<menu_button_note>(&form, rect{160, 30, 40, 20}, nullptr, none, empty, L"М", L"н"));
        auto* state = host.own(std::make_unique<state_button>(&form, rect{200, 30, 30, 20}, nullptr));
        state->set_state_image(1, none);
        state->set_state(1);
        host.own(std::make_unique<frame_icon_button>(&form, rect{0, 60, 60, 30}, nullptr, none, L"Да"));
        host.own(std::make_unique<frame_image_button>(&form, rect{60, 60, 60, 30}, nullptr, empty, L"Нет"));
        host.own(std::make_unique<frame_text_button>(&form, rect{120, 60, 60, 30}, nullptr, L"Ок"));
        host.own(std::make_unique<offer_take_button>(&form, rect{0, 95, 60, 40}, nullptr));
        host.own(std::make_unique<offer_back_button>(&form, rect{60, 95, 60, 40}, nullptr));
        host.own(std::make_unique<offer_reject_button>(&form, rect{120, 95, 60, 40}, nullptr));
        host.own(
            std::make_unique<caption_radio_button>(&form, rect{0, 140, 80, 30}, nullptr, none, empty, L"Т", &group));
        host.own(std::make_unique<value_radio_button>(&form, rect{80, 140, 120, 30}, nullptr, none, L"В", &group))
            ->set_value(L"12.5");
        host.own(std::make_unique<image_control>(&form, rect{200, 140, 10, 10}, none));
        host.own(std::make_unique<keypad_dialog>(&form, rect{0, 175, 240, 140}))->set_callback([&](int c) {
            codes.push_back(c);
        });
    });
    tap(20, 155);
    tap(140, 155);
    tap(60, 190);
    EXPECT_EQ(codes, std::vector<int>{100});
    int w = 0, h = 0;
    EXPECT_FALSE(platform::headless::window_pixels(window, w, h).empty());
}

TEST_F(radio_scene, frame_and_offer_buttons_and_radios_match_their_golden) {
    radio_group group;
    open({240, 320, 96}, [&](host_panel& host, manager_2& form) {
        auto skin = form.get_skin_images();
        for (int style = 0; style < 4; ++style) {
            auto* b =
                host.own(std::make_unique<frame_text_button>(&form, rect{4 + 58 * style, 32, 54, 30}, nullptr, L"Ок"));
            b->set_style(style);
        }
        host.own(std::make_unique<frame_icon_button>(&form, rect{4, 66, 112, 40}, nullptr, skin->get_image_by_id(1026),
                                                     L"Да"));
        host.own(std::make_unique<frame_image_button>(&form, rect{120, 66, 112, 40}, nullptr,
                                                      skin->get_image_by_id(1026), L"Назад"));
        host.own(std::make_unique<offer_take_button>(&form, rect{4, 110, 74, 70}, nullptr))->set_time_text(L"00:15");
        auto* back = host.own(std::make_unique<offer_back_button>(&form, rect{82, 110, 74, 70}, nullptr));
        back->set_badge_text(L"4.9");
        back->set_active(false);
        host.own(std::make_unique<offer_reject_button>(&form, rect{160, 110, 74, 70}, nullptr))->set_badge_text(L"-2");
        auto* first = host.own(std::make_unique<caption_radio_button>(
            &form, rect{4, 186, 112, 40}, [] {}, skin->get_image_by_id(1026), skin->get_image_by_id(1027), L"Тариф",
            &group));
        host.own(std::make_unique<caption_radio_button>(
                     &form, rect{120, 186, 112, 40}, [] {}, skin->get_image_by_id(1026), skin->get_image_by_id(1027),
                     L"Адрес", &group))
            ->set_subcaption(L"2");
        first->select();
        auto* value = host.own(std::make_unique<value_radio_button>(
            &form, rect{4, 232, 228, 40}, [] {}, skin->get_image_by_id(1065), L"Сумма", &group));
        value->set_value(L"1234.5");
    });
    press(41, 47); // the first frame button pressed: yellow
    EXPECT_EQ(golden("frame_offer_radio"), "");
    release(41, 47);
}

} // namespace
} // namespace zel::form::test
