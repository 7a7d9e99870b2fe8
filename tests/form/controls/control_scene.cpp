#include "tests/form/controls/control_scene.h"

#include <algorithm>

#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/shell/panel_dialog_gui.h"
#include "platform/headless.h"
#include "platform/text.h"
#include "tests/support/golden.h"

namespace zel::form::test {

void host_panel::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

void host_panel::show(const panel_param*) {
    ++shows;
    if (build) {
        build(*this, form_);
    }
}

void host_panel::hide() {
    owned_.clear();
}

namespace {

// The strip of the scene: black over its own rectangle only, so the screen under it stays visible.
class strip_panel : public recording_panel {
public:
    using recording_panel::recording_panel;
    void paint_background(Graphics& g, const rect& update) override {
        const int left = std::max(own_.x, update.x), top = std::max(own_.y, update.y);
        const int right = std::min(own_.x + own_.w, update.x + update.w);
        const int bottom = std::min(own_.y + own_.h, update.y + update.h);
        if (right > left && bottom > top) {
            // fill_rect covers one pixel more each way
            g.fill_rect({left, top, right - left - 1, bottom - top - 1}, brush_holder(rgb{0, 0, 0}));
        }
    }
};

} // namespace

void write_flat_skin(const zel::test::mini_skin& skin) {
    using zel::test::solid_png;
    const std::uint32_t notch = 0x60000000; // black, alpha 96
    const std::uint32_t outer = 0xFF1F252D; // slate
    skin.write_library("skin_black_button", {
                                                {1017, solid_png(6, 6, notch)},
                                                {1018, solid_png(6, 6, notch)},
                                                {1019, solid_png(6, 6, notch)},
                                                {1020, solid_png(6, 6, notch)},
                                                {1021, solid_png(8, 8, outer)},
                                                {1022, solid_png(8, 8, outer)},
                                                {1023, solid_png(8, 8, outer)},
                                                {1024, solid_png(8, 8, outer)},
                                                {1025, solid_png(48, 32, 0xFF959595)},
                                                {1026, solid_png(64, 64, 0xFF4B8F2E)},
                                                {1027, solid_png(64, 64, 0xFF6E6E6E)},
                                                {1065, solid_png(64, 32, 0xFF4B8F2E)},
                                                {1066, solid_png(64, 32, 0xFFAA281E)},
                                                {1064, solid_png(96, 40, 0xA0000000)},
                                            });
    skin.write_library("skin_black_help", {
                                              {2019, solid_png(40, 60, 0xFF3A3F48)},
                                              {2020, solid_png(40, 8, 0xFF262C34)},
                                              {2021, solid_png(40, 40, 0xFF4A4F58)},
                                              {2022, solid_png(64, 64, 0xFF646464)},
                                              {2023, solid_png(64, 64, 0xFF1A5EBB)},
                                              {2024, solid_png(64, 64, 0xFFE37512)},
                                              {2204, solid_png(48, 48, 0xFFFFFFFF)},
                                              {2181, solid_png(12, 60, 0xFFF8BA34)},
                                              {2182, solid_png(4, 60, 0xFF13161B)},
                                              {2183, solid_png(12, 60, 0xFFF8BA34)},
                                              {2184, solid_png(12, 60, 0xFF3D4349)},
                                              {2185, solid_png(4, 60, 0xFF13161B)},
                                              {2186, solid_png(12, 60, 0xFF3D4349)},
                                          });
}

void control_scene::SetUp() {
    box_was_ = platform::box_font();
    platform::set_box_font(true);
    write_flat_skin(skin_);
}

void control_scene::TearDown() {
    teardown();
    platform::set_box_font(box_was_);
}

void control_scene::open(const platform::screen_size& screen, std::function<void(host_panel&, manager_2&)> build) {
    auto table = recording_table();
    table.status = [this](manager_2& m) {
        auto p = std::make_unique<strip_panel>(m, 1, log);
        status = p.get();
        return std::unique_ptr<panel_base>(std::move(p));
    };
    for (auto& row : table.rows) {
        if (row.id == manager_2::dialog_id) {
            row.portrait = [this](manager_2& m) {
                auto p = std::make_unique<panel_dialog_gui>(m);
                dialog = p.get();
                return std::unique_ptr<panel_base>(std::move(p));
            };
        }
        if (row.id == 5) {
            row.portrait = [this, build](manager_2& m) {
                auto p = std::make_unique<host_panel>(m);
                p->build = build;
                host = p.get();
                return std::unique_ptr<panel_base>(std::move(p));
            };
        }
    }
    this->build(screen, std::move(table));
    start();
    manager->push_panel(5);
    run();
}

void control_scene::press(int x, int y) {
    platform::headless::pen_down(x, y);
    run();
}

void control_scene::release(int x, int y) {
    platform::headless::pen_up(x, y);
    run();
}

void control_scene::tap(int x, int y) {
    press(x, y);
    release(x, y);
}

std::string control_scene::golden(const std::string& name) {
    int w = 0, h = 0;
    const auto pixels = platform::headless::window_pixels(window, w, h);
    return zel::test::compare_with_golden("tests/form/golden", name, w, h, pixels);
}

} // namespace zel::form::test
