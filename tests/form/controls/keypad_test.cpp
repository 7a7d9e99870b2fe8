// The keypad and the keypad dialog: layout numbers, key hits, the pen tables, key frames pixel by pixel, and
// the dialog with a pressed key against its golden picture.
#include <gtest/gtest.h>

#include "form/controls/keypad.h"
#include "form/controls/keypad_dialog.h"
#include "form/drawing/graphics.h"
#include "tests/form/controls/control_scene.h"

namespace zel::form::test {
namespace {

class keypad_scene : public control_scene {
protected:
    void open_plain() {
        open({480, 800, 192}, nullptr);
    }
};

TEST_F(keypad_scene, key_grid_of_a_100_by_80_pad) {
    open_plain();
    keypad pad(manager.get(), {0, 0, 100, 80});
    const int lefts[3] = {1, 36, 68};
    const int widths[3] = {33, 30, 31};
    const int tops[4] = {2, 24, 43, 62};
    const int heights[4] = {19, 16, 16, 16};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(pad.key_rect(k), (rect{lefts[k % 3], tops[k / 3], widths[k % 3], heights[k / 3]})) << k;
    }
}

TEST_F(keypad_scene, keys_answer_points_by_the_pen_rule) {
    open_plain();
    keypad pad(manager.get(), {0, 0, 100, 80});
    struct hit {
        int x, y;
        int key_without_point, key_with_point;
    };
    const hit hits[] = {
        {10, 10, 0, 0},   {1, 10, -1, -1}, {2, 10, 0, 0},    {34, 21, 0, 0},   {35, 21, -1, -1},   {50, 30, 4, 4},
        {98, 70, 11, 11}, {10, 70, -1, 9}, {50, 70, 10, 10}, {50, 22, -1, -1}, {200, 200, -1, -1},
    };
    for (const hit& h : hits) {
        EXPECT_EQ(pad.key_at(h.x, h.y), h.key_without_point) << h.x << "," << h.y;
    }
    EXPECT_EQ(pad.key_caption(9), L"");
    pad.set_point_enabled(true);
    for (const hit& h : hits) {
        EXPECT_EQ(pad.key_at(h.x, h.y), h.key_with_point) << h.x << "," << h.y;
    }
    const wchar_t* captions[12] = {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L".", L"0", L""};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(pad.key_caption(k), captions[k]) << k;
    }
    EXPECT_EQ(pad.key_caption(12), L"");
}

TEST_F(keypad_scene, pen_table_of_the_pad) {
    struct pen_step {
        const char* name;
        bool enabled;
        bool callback;
        point down, up;
        std::vector<int> keys;
    };
    // Keys of a pad at (0, 100, 300, 400): key 0 around (50, 150), key 1 around (150, 150), key 9 around (50, 450).
    const pen_step steps[] = {
        {"tap a key", true, true, {50, 150}, {50, 150}, {0}},
        {"up on another key", true, true, {50, 150}, {150, 150}, {}},
        {"up outside", true, true, {50, 150}, {400, 700}, {}},
        {"dead point key", true, true, {50, 450}, {50, 450}, {}},
        {"disabled", false, true, {50, 150}, {50, 150}, {}},
        {"empty callback", true, false, {50, 150}, {50, 150}, {}},
    };
    for (const pen_step& s : steps) {
        std::vector<int> keys;
        int pressed_in_callback = -2;
        keypad* pad = nullptr;
        open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
            pad = host.own(std::make_unique<keypad>(&form, rect{0, 100, 300, 400}));
            if (s.callback) {
                pad->set_callback([&](int k) {
                    keys.push_back(k);
                    pressed_in_callback = pad->pressed_key();
                });
            }
            pad->set_enabled(s.enabled);
        });
        press(s.down.x, s.down.y);
        release(s.up.x, s.up.y);
        EXPECT_EQ(keys, s.keys) << s.name;
        EXPECT_EQ(pad->pressed_key(), -1) << s.name;
        if (!s.keys.empty()) {
            EXPECT_EQ(pressed_in_callback, s.keys.front()) << s.name;
        }
        teardown();
    }
}

TEST_F(keypad_scene, dialog_layout_and_pen) {
    open_plain();
    keypad_dialog even(manager.get(), {10, 100, 100, 140});
    EXPECT_EQ(even.ok_rect(), (rect{12, 102, 46, 56}));
    EXPECT_EQ(even.cancel_rect(), (rect{62, 102, 46, 56}));
    EXPECT_EQ(even.keypad_rect(), (rect{12, 162, 96, 80}));
    keypad_dialog odd(manager.get(), {0, 100, 101, 140});
    EXPECT_EQ(odd.ok_rect(), (rect{2, 102, 46, 56}));
    EXPECT_EQ(odd.cancel_rect(), (rect{53, 102, 46, 56}));
    EXPECT_EQ(odd.keypad_rect(), (rect{2, 163, 97, 80}));
    teardown();

    struct pen_step {
        const char* name;
        bool callback;
        point down, up;
        std::vector<int> codes;
    };
    // Dialog at (0, 100, 480, 600): "Ок" (2, 102, 236, 56), "Отмена" (242, 102, 236, 56), keypad from y 160.
    const pen_step steps[] = {
        {"Ок", true, {100, 130}, {100, 130}, {100}},
        {"Отмена", true, {300, 130}, {300, 130}, {101}},
        {"down Ок, up Отмена", true, {100, 130}, {300, 130}, {}},
        {"down Ок, up outside", true, {100, 130}, {100, 780}, {}},
        {"key 0", true, {60, 200}, {60, 200}, {0}},
        {"empty callback", false, {100, 130}, {100, 130}, {}},
    };
    for (const pen_step& s : steps) {
        std::vector<int> codes;
        keypad_dialog* dialog = nullptr;
        open({480, 800, 192}, [&](host_panel& host, manager_2& form) {
            dialog = host.own(std::make_unique<keypad_dialog>(&form, rect{0, 100, 480, 600}));
            if (s.callback) {
                dialog->set_callback([&](int code) { codes.push_back(code); });
            }
        });
        press(s.down.x, s.down.y);
        release(s.up.x, s.up.y);
        EXPECT_EQ(codes, s.codes) << s.name;
        EXPECT_EQ(dialog->pressed_button(), 0) << s.name;
        teardown();
    }
}

TEST_F(keypad_scene, key_frames_pixel_by_pixel) {
    open_plain();
    // Keys 103, 100 and 101 wide and 84 high: the captions stay in the middle, away from the probed edges.
    keypad pad(manager.get(), {0, 0, 310, 340});
    ASSERT_EQ(pad.key_rect(0), (rect{1, 2, 103, 84}));
    ASSERT_EQ(pad.key_rect(1), (rect{106, 2, 100, 84}));
    ASSERT_EQ(pad.key_rect(2), (rect{208, 2, 101, 84}));
    pad.on_pen_down(50, 40); // key 0 pressed
    struct probe {
        int x, y;
        std::uint32_t colour;
    };
    constexpr std::uint32_t light = 0x5D6065, dark = 0x43464B, black = 0, yellow = 0xFDDB00;
    struct key_case {
        int key;
        std::vector<probe> probes;
    };
    const key_case cases[] = {
        // Middle column: light top and left, dark bottom and right, black corners, grey face.
        {1,
         {{106, 2, black},
          {107, 2, light},
          {205, 2, light},
          {206, 2, black},
          {106, 3, light},
          {106, 85, light},
          {106, 86, black},
          {107, 86, dark},
          {205, 86, dark},
          {206, 86, black},
          {206, 3, dark},
          {206, 85, dark},
          {107, 3, 0x43464B},
          {207, 87, black}}},
        // Left column, pressed: no left line, yellow face.
        {0, {{1, 40, black}, {50, 2, light}, {104, 40, dark}, {104, 2, black}, {50, 86, dark}, {50, 3, yellow}}},
        // Right column: no right line; the pixel left of its top-right corner black.
        {2,
         {{208, 40, light}, {309, 40, black}, {308, 2, black}, {309, 2, black}, {300, 2, light}, {250, 3, 0x43464B}}},
    };
    for (const key_case& c : cases) {
        Graphics g(311, 90, nullptr);
        pad.paint(g, pad.key_rect(c.key), 0, 0);
        for (const probe& p : c.probes) {
            EXPECT_EQ(zel::test::pixel_at(g, p.x, p.y), p.colour) << "key " << c.key << " at " << p.x << "," << p.y;
        }
    }
}

TEST_F(keypad_scene, dialog_with_a_pressed_key_matches_its_golden) {
    open({240, 320, 96}, [&](host_panel& host, manager_2& form) {
        auto* dialog = host.own(std::make_unique<keypad_dialog>(&form, rect{10, 40, 220, 270}));
        dialog->set_point_enabled(true);
        dialog->set_callback([](int) {});
    });
    press(120, 150); // a key of the second row
    EXPECT_EQ(golden("keypad_dialog_pressed"), "");
    release(120, 150);
}

} // namespace
} // namespace zel::form::test
