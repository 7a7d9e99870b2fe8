// A scene for the control tests: the shell's headless window and manager, a mini skin of flat pictures in a
// temporary program folder, the box font, the message dialog (panel -2) and a host screen (panel 5) whose controls each
// test builds when it is shown. Input goes the finger's way: headless pen events, then the message loop.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "form/controls/control.h"
#include "form/shell/panel_dialog_gui.h"
#include "tests/form/form_fixture.h"
#include "tests/form/shell_fixture.h"

namespace zel::form::test {

class host_panel : public panel_base {
public:
    explicit host_panel(manager_2& form) : form_(form) {}
    int panel_id() const override {
        return 5;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param*) override;
    void hide() override;

    // Builds the controls at show; each one added on layer 1 unless the builder adds it itself.
    std::function<void(host_panel&, manager_2&)> build;
    template <class Control> Control* own(std::unique_ptr<Control> c, int layer = 1) {
        Control* raw = c.get();
        add_control(raw, layer);
        owned_.push_back(std::move(c));
        return raw;
    }
    int shows = 0;

private:
    manager_2& form_;
    std::vector<std::unique_ptr<control>> owned_;
};

// The mini skin's pictures (flat colours) under the ids the controls ask for.
void write_flat_skin(const zel::test::mini_skin& skin);

class control_scene : public ::testing::Test, public shell_harness {
protected:
    void SetUp() override;
    void TearDown() override;
    // Builds the manager on the screen, starts it and shows the host with the builder.
    void open(const platform::screen_size& screen, std::function<void(host_panel&, manager_2&)> build);
    void tap(int x, int y);
    void press(int x, int y);
    void release(int x, int y);
    // The window's pixels and their comparison with tests/form/golden/NAME.png.
    std::string golden(const std::string& name);

    zel::test::mini_skin skin_;
    host_panel* host = nullptr;
    panel_dialog_gui* dialog = nullptr;
    bool box_was_ = false;
};

} // namespace zel::form::test
