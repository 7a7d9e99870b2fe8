// The busy overlay over the main menu, on the display's virtual clock: where its frame and dots stand, the dot
// lit each second, nested locks, and ticks that come after it is gone.
#include <vector>

#include <gtest/gtest.h>

#include "form/account/panel_lock_gui.h"
#include "form/controls/image_control.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {
namespace {

using namespace std::chrono_literals;

class overlay_fixture : public screen_fixture {
protected:
    void SetUp() override {
        open();
        ASSERT_TRUE(reach_menu());
        run();
    }

    panel_lock_gui& overlay() {
        return static_cast<panel_lock_gui&>(*manager->lock_panel());
    }
    std::uint32_t pixel(int x, int y) {
        int w = 0, h = 0;
        const auto pixels = platform::headless::window_pixels(window, w, h);
        return pixels.at(static_cast<size_t>(y) * w + x);
    }
    // The centre pixel of dot 1-3, as the screen shows it.
    std::uint32_t dot_pixel(int position) {
        const rect& r = overlay().dark_dot(position)->get_rect();
        return pixel(r.x + r.w / 2, r.y + r.h / 2);
    }
    // The lit dot's position (1-3), 0 when none: from the controls and, the same, from the screen, where the
    // lit dot is the one whose colour differs from the other two.
    int lit() {
        int shown = 0;
        for (int k = 1; k <= 3; ++k) {
            const bool on = overlay().lit_dot(k)->is_visible();
            EXPECT_NE(on, overlay().dark_dot(k)->is_visible()) << "dot " << k << " is both or neither";
            EXPECT_EQ(on, overlay().lit_dot(k)->is_enabled());
            if (on) {
                EXPECT_EQ(shown, 0) << "two dots lit";
                shown = k;
            }
        }
        const std::uint32_t p[3] = {dot_pixel(1), dot_pixel(2), dot_pixel(3)};
        int on_screen = 0;
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t a = p[(k + 1) % 3], b = p[(k + 2) % 3];
            if (a == b && p[k] != a) {
                on_screen = k + 1;
            }
        }
        EXPECT_EQ(on_screen, shown) << "the screen shows another dot lit";
        return shown;
    }
    // Ticks until the next tick lights dot 1, so that pictures do not depend on the tests run before.
    void lock_at_step_0() {
        manager->lock();
        run();
        while (panel_lock_gui::animation_step() != 0) {
            advance(1000ms);
        }
    }
};

TEST_F(overlay_fixture, the_frame_is_centred_and_the_dots_sit_at_quarters_of_it) {
    manager->lock();
    run();
    // Frame 240 x 140 centred on 480 x 800; dots 16 x 16 at 25, 50 and 75 % of its width, 75 % of its height.
    ASSERT_NE(overlay().frame(), nullptr);
    EXPECT_EQ(overlay().frame()->get_rect(), (rect{120, 330, 240, 140}));
    const int lefts[3] = {172, 232, 292};
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(overlay().dark_dot(k)->get_rect(), (rect{lefts[k - 1], 435, 16, 16}));
        EXPECT_EQ(overlay().lit_dot(k)->get_rect(), overlay().dark_dot(k)->get_rect());
    }
    // A lock shorter than a second: the frame and the dark dots only.
    EXPECT_EQ(lit(), 0);
    advance(999ms);
    EXPECT_EQ(lit(), 0);
    manager->unlock();
    run();
    EXPECT_EQ(overlay().frame(), nullptr);
    EXPECT_EQ(overlay().timer_id(), -1);
}

TEST_F(overlay_fixture, one_dot_lights_a_second_in_turn_and_the_next_lock_goes_on_from_there) {
    manager->lock();
    run();
    const int first = panel_lock_gui::animation_step();
    advance(999ms);
    EXPECT_EQ(lit(), 0);
    std::vector<int> seen;
    advance(1ms);
    seen.push_back(lit());
    for (int i = 0; i < 3; ++i) {
        advance(1000ms);
        seen.push_back(lit());
    }
    std::vector<int> expected;
    for (int i = 0; i < 4; ++i) {
        expected.push_back((first + i) % 3 + 1);
    }
    EXPECT_EQ(seen, expected);
    manager->unlock();
    run();

    // The step is not reset: the next lock shows the dark dots for a second, then the dot after the last one.
    manager->lock();
    run();
    EXPECT_EQ(lit(), 0);
    advance(1000ms);
    EXPECT_EQ(lit(), (first + 4) % 3 + 1);
    manager->unlock();
    run();
}

TEST_F(overlay_fixture, two_locks_show_it_once_and_it_goes_at_the_second_unlock) {
    const std::uint32_t menu_pixel = pixel(240, 400);
    manager->lock();
    run();
    const int timer = overlay().timer_id();
    ASSERT_NE(timer, -1);
    manager->lock();
    run();
    EXPECT_EQ(manager->lock_count(), 2);
    EXPECT_EQ(overlay().timer_id(), timer) << "shown a second time: a second timer";
    advance(1000ms);
    EXPECT_NE(lit(), 0) << "the one timer steps the dots";

    manager->unlock();
    run();
    ASSERT_NE(overlay().frame(), nullptr) << "gone at the first of two unlocks";
    EXPECT_NE(pixel(240, 400), menu_pixel);
    EXPECT_EQ(overlay().timer_id(), timer);

    manager->unlock();
    run();
    EXPECT_EQ(overlay().frame(), nullptr);
    EXPECT_EQ(overlay().timer_id(), -1);
    EXPECT_EQ(pixel(240, 400), menu_pixel) << "the menu is back";
}

TEST_F(overlay_fixture, a_late_tick_after_hide_changes_nothing) {
    manager->lock();
    run();
    const int timer = overlay().timer_id();
    advance(1000ms);
    manager->unlock();
    run();
    const int step = panel_lock_gui::animation_step();

    // A tick that was already queued when the overlay went, and a direct call of the callback.
    PostMessageW(window, WM_TIMER, static_cast<WPARAM>(timer), 0);
    run();
    overlay().on_timer();
    run();
    EXPECT_EQ(panel_lock_gui::animation_step(), step);
    EXPECT_EQ(overlay().frame(), nullptr);
    EXPECT_EQ(manager->current_panel()->panel_id(), manager_2::master_id);
    // No timer of the overlay is left to fire.
    advance(5000ms);
    EXPECT_EQ(panel_lock_gui::animation_step(), step);
}

TEST_F(overlay_fixture, golden_over_the_menu_with_the_first_dot_lit) {
    lock_at_step_0();
    advance(1000ms);
    ASSERT_EQ(lit(), 1);
    EXPECT_EQ(golden("overlay_first_dot"), "");
    manager->unlock();
    run();
}

} // namespace
} // namespace zel::form::test
