// The manager's paint on a tiny screen (40 x 60 at 24 DPI: scale 0.125, a strip of 6 rows): the current panel,
// then the strip, then the layer-2 controls of both, then the busy overlay; and a repaint that reaches the
// window only inside the invalid part.
#include "tests/form/shell_fixture.h"

#include "platform/headless.h"

namespace zel::form::test {
namespace {

namespace headless = platform::headless;

constexpr rgb panel_bg{10, 10, 10};
constexpr rgb strip_bg{20, 20, 20};
constexpr rgb red{255, 0, 0};
constexpr rgb green{0, 255, 0};
constexpr rgb blue{0, 0, 255};
constexpr rgb white{255, 255, 255};
constexpr rgb yellow{255, 255, 0};

unsigned pixel(const rgb& c) {
    return static_cast<unsigned>(c.r) << 16 | static_cast<unsigned>(c.g) << 8 | static_cast<unsigned>(c.b);
}

class shell_paint : public shell_fixture {
protected:
    void SetUp() override {
        build({40, 60, 24});
        start();
        strip().background = strip_bg;
        strip().controls = {{"S1", {18, 0, 4, 4}, 1, true, blue}, {"S2", {24, 2, 8, 8}, 2, true, white}};
        panel(5).background = panel_bg;
        panel(5).controls = {{"P1", {0, 0, 10, 10}, 1, true, red}, {"P2", {20, 0, 8, 8}, 2, true, green}};
        overlay->controls = {{"O", {0, 40, 10, 10}, 2, true, yellow}};
        manager->reset_to_panel(5);
        run();
    }
    unsigned at(int x, int y) {
        int w = 0;
        int h = 0;
        const auto pixels = headless::window_pixels(window, w, h);
        return pixels.at(static_cast<size_t>(y * w + x));
    }
};

TEST_F(shell_paint, LayersPaintPanelThenStripThenBothTopLayersThenTheOverlay) {
    ASSERT_EQ(manager->status_panel()->own_rect(), (rect{0, 0, 40, 6}));
    struct probe {
        const char* what;
        int x, y;
        rgb expected;
    };
    const std::vector<probe> probes = {
        {"the strip covers the panel's normal control", 2, 2, strip_bg},
        {"the panel's normal control below the strip", 2, 8, red},
        {"the panel's background", 15, 30, panel_bg},
        {"the strip's normal control", 19, 1, blue},
        {"the panel's top control over the strip", 21, 1, green},
        {"the strip's top control over the panel's", 25, 4, white},
        {"the strip's top control over the panel", 30, 8, white},
        {"no overlay while unlocked", 5, 45, panel_bg},
    };
    for (const probe& p : probes) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(at(p.x, p.y), pixel(p.expected));
    }
    manager->lock();
    run();
    EXPECT_EQ(at(5, 45), pixel(yellow));
    EXPECT_EQ(at(25, 4), pixel(white)); // the overlay's background leaves everything else
    manager->unlock();
    run();
    EXPECT_EQ(at(5, 45), pixel(panel_bg));
}

TEST_F(shell_paint, ARepaintReachesTheWindowOnlyInsideTheInvalidPart) {
    constexpr rgb changed{90, 90, 90};
    panel(5).background = changed;
    manager->invalidate_rect(rect{0, 30, 10, 10});
    manager->post_paint();
    run();
    EXPECT_EQ(at(5, 35), pixel(changed));
    EXPECT_EQ(at(15, 35), pixel(panel_bg));
    EXPECT_EQ(at(5, 45), pixel(panel_bg));
}

} // namespace
} // namespace zel::form::test
