#include "form/order/progress_switch.h"

#include "form/controls/image_box.h"
#include "form/controls/image_button.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int face_on_id = 2160;
constexpr int face_off_id = 2161;
constexpr int bar_empty_id = 2162;
constexpr int bar_full_id = 2163;
constexpr int icon_off_id = 2164;

constexpr double bar_width = 92.0;
constexpr double time_font = 32.0;
constexpr rgb dark_text{28, 31, 32};
constexpr UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

std::wstring two_digits(int value) {
    std::wstring text = int_to_wstring(value);
    return text.size() == 1 ? L"0" + text : text;
}

} // namespace

progress_switch::progress_switch(manager_2* form, const rect& r, std::function<void(int)> on_tap)
    : control(form, r), on_tap_(std::move(on_tap)), face_on_(form_image(form, face_on_id)),
      face_off_(form_image(form, face_off_id)), bar_empty_(form_image(form, bar_empty_id)),
      bar_full_(form_image(form, bar_full_id)), icon_off_(form_image(form, icon_off_id)) {
    const int width = scaled(bar_width, form ? form->get_scale() : 1.0f);
    for (Image* bar : {bar_full_.get(), bar_empty_.get()}) {
        if (!bar->empty() && bar->width() != width) {
            bar->resize(width, bar->height());
        }
    }
}

progress_switch::~progress_switch() = default;

std::wstring progress_switch::time_text(int seconds) {
    return two_digits(seconds / 60) + L":" + two_digits(seconds % 60);
}

void progress_switch::on_pen_down(int x, int y) {
    if (enabled_ && point_in_rect(rect_, x, y)) {
        pressed_ = true;
        invalidate();
    }
}

void progress_switch::on_pen_up(int x, int y) {
    if (enabled_ && pressed_ && point_in_rect(rect_, x, y)) {
        if (on_tap_) {
            on_tap_(on_ ? 1 : 0);
        }
        on_ = !on_;
    }
    pressed_ = false;
    invalidate();
}

void progress_switch::turn_off() {
    on_ = false;
    pressed_ = false;
    invalidate();
}

void progress_switch::set_value(int seconds) {
    if (seconds != value_) {
        value_ = seconds;
        invalidate();
    }
}

void progress_switch::set_progress(float progress) {
    if (!(progress > 0)) { // below 0, or not a number
        progress = 0;
    } else if (progress > 1) {
        progress = 1;
    }
    if (progress != progress_) {
        progress_ = progress;
        invalidate();
    }
}

void progress_switch::paint(Graphics& g, const rect&, int dx, int dy) {
    if (!visible_) {
        return;
    }
    const rect r{rect_.x + dx, rect_.y + dy, rect_.w, rect_.h};
    if (!on_ && !pressed_) {
        face_off_->draw(g, r.x, r.y);
        draw_centred(g, icon_off_.get(), r);
        return;
    }
    face_on_->draw(g, r.x, r.y);
    const int bar_x = r.x + r.w / 2 - bar_empty_->width() / 2;
    const int bar_y = r.y + r.h - r.h / 4 - bar_empty_->height() / 2;
    bar_empty_->draw(g, bar_x, bar_y);
    g.save();
    g.clip_to(
        rect{bar_x, bar_y, static_cast<int>(static_cast<float>(bar_empty_->width()) * progress_), bar_full_->height()});
    bar_full_->draw(g, bar_x, bar_y);
    g.restore();
    font_holder font(scaled(time_font, form_->get_scale()), 400);
    g.draw_text(font, rect{r.x, r.y, r.w, r.h - r.h / 4}, time_text(value_), centred, TRANSPARENT, dark_text);
}

} // namespace zel::form
