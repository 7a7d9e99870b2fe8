#include "form/account/panel_lock_gui.h"

#include "form/controls/image_control.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

constexpr int frame_image_id = 2193;
constexpr int lit_image_id = 2191;
constexpr int dark_image_id = 2192;
// Dots at these fractions of the frame's width, their tops at this fraction of its height.
constexpr double dot_step = 0.25;
constexpr double dot_top = 0.75;

// The dot the next tick lights, for every overlay of the process.
int step = 0;

} // namespace

panel_lock_gui::panel_lock_gui(manager_2& form) : form_(form) {}

panel_lock_gui::~panel_lock_gui() = default;

int panel_lock_gui::animation_step() {
    return step;
}

void panel_lock_gui::show(const panel_param*) {
    const skin_images* skin = form_.get_skin_images();
    frame_image_ = skin_images::image_of(skin, frame_image_id);
    lit_image_ = skin_images::image_of(skin, lit_image_id);
    dark_image_ = skin_images::image_of(skin, dark_image_id);

    const int fw = frame_image_->width();
    const int fh = frame_image_->height();
    const int fx = own_.x + own_.w / 2 - fw / 2;
    const int fy = own_.y + own_.h / 2 - fh / 2;
    const int dw = dark_image_->width();
    const int dh = dark_image_->height();
    frame_ = &add<image_control>(2, &form_, rect{fx, fy, fw, fh}, frame_image_);
    const int top = static_cast<int>(fh * dot_top + fy);
    for (int k = 1; k <= 3; ++k) {
        const int left = static_cast<int>(fw * dot_step * k + fx - dw / 2);
        dark_[k - 1] = &add<image_control>(2, &form_, rect{left, top, dw, dh}, dark_image_);
    }
    for (int k = 1; k <= 3; ++k) {
        lit_[k - 1] = &add<image_control>(2, &form_, dark_[k - 1]->get_rect(), lit_image_);
        lit_[k - 1]->set_visible(false);
        lit_[k - 1]->set_enabled(false);
    }
    timer_id_ = form_.set_timer(1, [this] { on_timer(); });
}

void panel_lock_gui::on_timer() {
    if (timer_id_ == -1 || !frame_) {
        return;
    }
    for (int k = 0; k < 3; ++k) {
        for (image_control* dot : {dark_[k], lit_[k]}) {
            dot->set_visible(false);
            dot->set_enabled(false);
        }
        image_control* shown = k == step ? lit_[k] : dark_[k];
        shown->set_visible(true);
        shown->set_enabled(true);
    }
    for (const auto& dot : lit_) {
        form_.invalidate_rect(dot->get_rect());
    }
    step = step == 2 ? 0 : step + 1;
}

void panel_lock_gui::hide() {
    if (timer_id_ != -1) {
        form_.kill_timer(timer_id_);
        timer_id_ = -1;
    }
    frame_ = nullptr;
    dark_ = {};
    lit_ = {};
    frame_image_.reset();
    lit_image_.reset();
    dark_image_.reset();
}

} // namespace zel::form
