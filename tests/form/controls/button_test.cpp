// Buttons through the finger's path: a pen rule table (edges, release outside, release without a press,
// disabled, empty callback), the state button's keys, and the menu cells' rectangles in the box font.
#include <gtest/gtest.h>

#include "form/account/menu_button.h"
#include "form/account/menu_button_ex.h"
#include "form/account/menu_button_note.h"
#include "form/controls/frame_button.h"
#include "form/controls/image_button.h"
#include "form/controls/state_button.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "platform/headless.h"
#include "tests/form/controls/control_scene.h"

namespace zel::form::test {
namespace {

struct pen_case {
    const char* name;
    bool enabled;
    bool callback;
    point down; // {-1, -1}: no pen-down on the button (the pen goes down on empty space)
    point up;
    int clicks;
    bool pressed_after;
};

// The button lies at (100, 100, 50, 40): the left and top edges are outside, the right and bottom inside.
const pen_case pen_cases[] = {
    {"centre", true, true, {125, 120}, {125, 120}, 1, false},
    {"right and bottom edges", true, true, {150, 140}, {150, 140}, 1, false},
    {"left edge", true, true, {100, 120}, {125, 120}, 0, false},
    {"top edge", true, true, {125, 100}, {125, 120}, 0, false},
    {"up outside", true, true, {125, 120}, {151, 120}, 0, false},
    {"up far away", true, true, {125, 120}, {400, 700}, 0, false},
    {"up without down", true, true, {-1, -1}, {125, 120}, 0, false},
    {"disabled", false, true, {125, 120}, {125, 120}, 0, false},
    {"empty callback", true, false, {125, 120}, {125, 120}, 0, false},
};

class button_pen : public control_scene {};

TEST_F(button_pen, follows_the_pen_rule) {
    for (const pen_case& c : pen_cases) {
        int clicks = 0;
        bool pressed_in_callback = false;
        image_button* b = nullptr;
        open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
            std::function<void()> on_click;
            if (c.callback) {
                on_click = [&] {
                    ++clicks;
                    pressed_in_callback = b->is_pressed();
                };
            }
            b = host.own(std::make_unique<image_button>(&form, rect{100, 100, 50, 40}, on_click,
                                                        std::make_shared<Image>(), std::make_shared<Image>()));
            b->set_enabled(c.enabled);
        });
        if (c.down.x >= 0) {
            press(c.down.x, c.down.y);
        } else {
            press(300, 600);
        }
        release(c.up.x, c.up.y);
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_EQ(b->is_pressed(), c.pressed_after) << c.name;
        if (c.clicks) {
            EXPECT_TRUE(pressed_in_callback) << c.name << ": the callback runs while the button is pressed";
        }
        teardown();
    }
}

TEST_F(button_pen, a_disabled_button_keeps_its_press) {
    int clicks = 0;
    image_button* b = nullptr;
    open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
        b = host.own(std::make_unique<image_button>(
            &form, rect{100, 100, 50, 40}, [&] { ++clicks; }, nullptr, nullptr));
    });
    press(125, 120);
    ASSERT_TRUE(b->is_pressed());
    b->set_enabled(false);
    release(125, 120);
    EXPECT_TRUE(b->is_pressed());
    EXPECT_EQ(clicks, 0);
    b->set_enabled(true);
    release(125, 120); // a later pen-up on the enabled button completes it: the press was kept
    EXPECT_FALSE(b->is_pressed());
}

TEST_F(button_pen, frame_button_is_yellow_while_pressed_and_its_style_again_after) {
    frame_button* b = nullptr;
    open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
        b = host.own(std::make_unique<frame_button>(&form, rect{100, 100, 100, 60}, nullptr));
        b->set_style(1);
    });
    int w = 0, h = 0;
    auto centre = [&] {
        const auto pixels = platform::headless::window_pixels(window, w, h);
        return pixels[static_cast<std::size_t>(130 * w + 150)];
    };
    const std::uint32_t green = centre();
    EXPECT_EQ(b->frame_style(), 2);
    press(150, 130);
    EXPECT_EQ(b->frame_style(), 1);
    const std::uint32_t yellow = centre();
    EXPECT_GT(yellow >> 16 & 0xFF, 200u) << std::hex << yellow;
    release(150, 130);
    EXPECT_EQ(centre(), green);
    EXPECT_GT(green >> 8 & 0xFF, green >> 16 & 0xFF) << std::hex << green;
}

TEST_F(button_pen, state_button_shows_only_registered_keys) {
    state_button* b = nullptr;
    open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
        b = host.own(std::make_unique<state_button>(&form, rect{10, 100, 30, 30}, nullptr));
        b->set_state_image(0, std::make_shared<Image>());
        b->set_state_image(3, std::make_shared<Image>());
    });
    struct step {
        int key;
        int state;
    };
    for (const step s : {step{3, 3}, step{7, -1}, step{0, 0}, step{-1, -1}, step{3, 3}}) {
        b->set_state(s.key);
        run();
        EXPECT_EQ(b->state(), s.state) << s.key;
    }
}

TEST_F(button_pen, menu_cell_caption_and_badge_rectangles) {
    menu_button_ex* cell = nullptr;
    menu_button_note* noted = nullptr;
    open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
        auto skin = form.get_skin_images();
        cell = host.own(std::make_unique<menu_button_ex>(&form, rect{0, 100, 160, 150}, nullptr,
                                                         skin->get_image_by_id(1026), skin->get_image_by_id(1027),
                                                         L"Заказы", skin->get_image_by_id(1065)));
        noted = host.own(std::make_unique<menu_button_note>(
            &form, rect{160, 100, 160, 150}, nullptr, skin->get_image_by_id(1026), nullptr, L"Смена", L"до 20:00"));
    });
    // Box font, size 23: "Навигатор" is 23 high; the caption's top 1.5 lines above the bottom.
    EXPECT_EQ(cell->caption_rect(), (rect{0, 215, 160, 23})); // 250 - 34.5, truncated
    EXPECT_EQ(cell->badge_rect(), rect{});                    // no badge text yet
    cell->set_subcaption(L"12");
    // The 64 x 64 picture is centred at (80, 175); the 64 x 32 badge sits on its lower right corner, its text
    // 3 pixels inside it, in a font as tall as that allows.
    EXPECT_EQ(cell->badge_rect(), (rect{48, 175, 64, 32}));
    EXPECT_EQ(cell->badge_text_rect(), (rect{51, 178, 58, 26}));
    EXPECT_EQ(cell->badge_text_height(), 26);
    cell->set_enabled(false); // the disabled picture carries no badge
    EXPECT_EQ(cell->badge_rect(), (rect{48, 175, 64, 32}));
    EXPECT_EQ(noted->note_rect(), (rect{160, 86, 160, 150})); // 100 - 13.5, truncated
}

TEST_F(button_pen, menu_cell_badge_ends_above_the_caption_in_a_low_cell) {
    menu_button_ex* cell = nullptr;
    open({800, 480, 192}, [&](host_panel& host, manager_2& form) {
        auto skin = form.get_skin_images();
        cell = host.own(std::make_unique<menu_button_ex>(&form, rect{0, 100, 160, 100}, nullptr,
                                                         skin->get_image_by_id(1026), nullptr, L"Вокзал",
                                                         skin->get_image_by_id(1065)));
    });
    cell->set_subcaption(L"2");
    // The 64 x 64 picture (118 to 182) reaches into the caption (from 165: 200 - 34.5, truncated): the badge
    // ends 6 pixels above the caption's top instead of on the picture's bottom.
    EXPECT_EQ(cell->caption_rect(), (rect{0, 165, 160, 23}));
    EXPECT_EQ(cell->badge_rect(), (rect{48, 127, 64, 32}));
    EXPECT_EQ(cell->badge_text_rect(), (rect{51, 130, 58, 26}));
}

TEST_F(button_pen, menu_cells_enabled_and_disabled_match_their_golden) {
    open({240, 320, 96}, [&](host_panel& host, manager_2& form) {
        auto skin = form.get_skin_images();
        host.own(std::make_unique<menu_button>(&form, rect{0, 40, 118, 100}, nullptr, skin->get_image_by_id(1026),
                                               skin->get_image_by_id(1027), L"Заказы"));
        auto* off =
            host.own(std::make_unique<menu_button>(&form, rect{120, 40, 118, 100}, nullptr, skin->get_image_by_id(1026),
                                                   skin->get_image_by_id(1027), L"Баланс"));
        off->set_enabled(false);
        auto* ex = host.own(std::make_unique<menu_button_ex>(&form, rect{0, 150, 118, 100}, nullptr,
                                                             skin->get_image_by_id(1026), nullptr, L"Смены",
                                                             skin->get_image_by_id(1065)));
        ex->set_subcaption(L"3");
        host.own(std::make_unique<menu_button>(&form, rect{120, 150, 118, 100}, nullptr, nullptr, nullptr, L"Пусто"));
    });
    press(60, 100); // the first cell pressed: yellow
    EXPECT_EQ(golden("menu_buttons"), "");
    release(60, 100);
}

} // namespace
} // namespace zel::form::test
