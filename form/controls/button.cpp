#include "form/controls/button.h"

#include "form/drawing/drawing.h"

namespace zel::form {

button::button(manager_2* form, const rect& r, std::function<void()> on_click)
    : control(form, r), on_click_(std::move(on_click)) {}

void button::on_pen_down(int x, int y) {
    if (enabled_ && point_in_rect(rect_, x, y)) {
        pressed_ = true;
        invalidate();
    }
}

void button::on_pen_up(int x, int y) {
    if (!enabled_) {
        return;
    }
    if (pressed_ && point_in_rect(rect_, x, y)) {
        if (on_click_) {
            on_click_();
        }
        invalidate();
        pressed_ = false;
        return;
    }
    pressed_ = false;
    invalidate();
}

} // namespace zel::form
