#include "form/controls/control.h"

#include "form/shell/manager_2.h"

namespace zel::form {

void control::on_pen_up(int, int) {}

void control::on_pen_down(int, int) {}

void control::set_visible(bool visible) {
    visible_ = visible;
    invalidate();
}

void control::set_enabled(bool enabled) {
    enabled_ = enabled;
    invalidate();
}

void control::paint(Graphics&, const rect&, int, int) {}

void control::invalidate() {
    if (form_) {
        form_->invalidate_rect(rect_);
    }
}

} // namespace zel::form
