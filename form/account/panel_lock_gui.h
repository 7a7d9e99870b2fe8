// The busy overlay (panel_ids::lock, never on the stack): shown at the GUI lock's first level, hidden at its last, and
// painted over everything in between on the panel base's black; input is ignored meanwhile, so it takes none.
// A frame in the middle of the screen with three dots below its middle, one of them lit each second.
// Pictures, controls and the timer live from show to hide. UI thread only.
//
// Dots, one tick a second while shown (the step is shared by the whole process and never reset, so a new lock
// goes on where the last one stopped; for its first second only the dark dots show):
//   step 0 -> lit 1, dark 2, dark 3   then step 1
//   step 1 -> dark 1, lit 2, dark 3   then step 2
//   step 2 -> dark 1, dark 2, lit 3   then step 0
// A tick after hide (the timer id is -1 then) changes nothing.
#pragma once

#include <array>
#include <memory>

#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class image_control;

class panel_lock_gui : public panel_base {
public:
    explicit panel_lock_gui(manager_2& form);
    ~panel_lock_gui() override;

    static constexpr int id = panel_ids::lock;

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;
    // The 1-second timer's callback.
    void on_timer();

    // The step the next tick shows (0, 1 or 2).
    static int animation_step();
    // -1 while no timer runs.
    int timer_id() const {
        return timer_id_;
    }
    // Position 1-3 while shown, else null.
    image_control* dark_dot(int position) const {
        return dark_[position - 1];
    }
    image_control* lit_dot(int position) const {
        return lit_[position - 1];
    }
    image_control* frame() const {
        return frame_;
    }

private:
    manager_2& form_;
    std::shared_ptr<Image> frame_image_;
    std::shared_ptr<Image> lit_image_;
    std::shared_ptr<Image> dark_image_;
    // The panel base owns the controls from show to the clear.
    image_control* frame_ = nullptr;
    std::array<image_control*, 3> dark_{};
    std::array<image_control*, 3> lit_{};
    int timer_id_ = -1;
};

} // namespace zel::form
