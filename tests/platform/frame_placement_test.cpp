// Where the screen's frame lies in a window of another size, and which screen pixel the pen reaches from a
// point of the window.
#include <gtest/gtest.h>

#include <optional>

#include "platform/window/frame_placement.h"

namespace {

using platform::frame_placement;

TEST(frame_placement, fits_the_frame_between_bars) {
    struct row {
        int screen_w, screen_h, output_w, output_h;
        RECT area;
        bool unscaled;
    };
    for (const row& r : {
             row{480, 800, 480, 800, {0, 0, 480, 800}, true},        // the window the screen asked for
             row{480, 800, 1920, 1080, {636, 0, 1284, 1080}, false}, // portrait on a landscape desktop
             row{800, 480, 480, 800, {0, 256, 480, 544}, false},     // landscape on a portrait display
             row{480, 800, 960, 1600, {0, 0, 960, 1600}, false},     // twice the size, no bars
             row{480, 800, 480, 900, {0, 50, 480, 850}, true},       // taller window: own size, bars above and below
             row{120, 200, 300, 300, {60, 0, 240, 300}, false},      // one and a half times
             row{480, 800, 1, 1, {0, 0, 1, 1}, false},               // a window squeezed to a pixel
             row{480, 800, 0, 600, {0, 0, 0, 0}, false},             // no output: nowhere
         }) {
        const frame_placement p = frame_placement::fit(r.screen_w, r.screen_h, r.output_w, r.output_h);
        const RECT a = p.area();
        EXPECT_EQ(a.left, r.area.left) << r.output_w << "x" << r.output_h;
        EXPECT_EQ(a.top, r.area.top) << r.output_w << "x" << r.output_h;
        EXPECT_EQ(a.right, r.area.right) << r.output_w << "x" << r.output_h;
        EXPECT_EQ(a.bottom, r.area.bottom) << r.output_w << "x" << r.output_h;
        EXPECT_EQ(p.unscaled(), r.unscaled) << r.output_w << "x" << r.output_h;
    }
}

// A 120x200 screen in a 300x300 window: the picture is 180x300 at x 60, one screen pixel per 1.5 window pixels.
TEST(frame_placement, maps_the_pen_to_the_pixel_the_picture_shows) {
    const frame_placement p = frame_placement::fit(120, 200, 300, 300);
    struct row {
        int x, y;
        std::optional<POINT> screen;
        POINT clamped;
    };
    for (const row& r : {
             row{60, 0, POINT{0, 0}, {0, 0}},            // the picture's first pixel
             row{239, 299, POINT{119, 199}, {119, 199}}, // its last
             row{105, 225, POINT{30, 150}, {30, 150}},   // (30, 150) scaled and moved past the left bar
             row{149, 10, POINT{59, 6}, {59, 6}},        // the last window column showing screen column 59
             row{150, 10, POINT{60, 6}, {60, 6}},        // the first showing column 60
             row{59, 150, std::nullopt, {0, 100}},       // the left bar
             row{240, 150, std::nullopt, {119, 100}},    // the right bar
             row{280, 10, std::nullopt, {119, 6}},       // far on the right bar
             row{-5, 400, std::nullopt, {0, 199}},       // outside the window
         }) {
        const std::optional<POINT> at = p.to_screen(r.x, r.y);
        ASSERT_EQ(at.has_value(), r.screen.has_value()) << r.x << "," << r.y;
        if (at) {
            EXPECT_EQ(at->x, r.screen->x) << r.x << "," << r.y;
            EXPECT_EQ(at->y, r.screen->y) << r.x << "," << r.y;
        }
        const POINT c = p.to_screen_clamped(r.x, r.y);
        EXPECT_EQ(c.x, r.clamped.x) << r.x << "," << r.y;
        EXPECT_EQ(c.y, r.clamped.y) << r.x << "," << r.y;
    }
}

TEST(frame_placement, the_screen_size_window_maps_every_point_to_itself) {
    const frame_placement p = frame_placement::fit(480, 800, 480, 800);
    for (const POINT q : {POINT{0, 0}, POINT{479, 799}, POINT{240, 400}, POINT{1, 798}}) {
        const std::optional<POINT> at = p.to_screen(q.x, q.y);
        ASSERT_TRUE(at);
        EXPECT_EQ(at->x, q.x);
        EXPECT_EQ(at->y, q.y);
    }
    EXPECT_FALSE(p.to_screen(480, 0));
    EXPECT_FALSE(p.to_screen(0, -1));
    const POINT c = p.to_screen_clamped(600, -20);
    EXPECT_EQ(c.x, 479);
    EXPECT_EQ(c.y, 0);
}

} // namespace
