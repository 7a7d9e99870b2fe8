#include "form/controls/scroll_view.h"

#include <algorithm>
#include <cstdlib>

#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"

namespace zel::form {

int scroll_view::step() const {
    return scaled(40, form_ ? form_->get_scale() : 1.0f);
}

void scroll_view::scroll_up() {
    offset_ += step();
    invalidate();
}

void scroll_view::scroll_down() {
    offset_ -= step();
    invalidate();
}

bool scroll_view::can_scroll_up() const {
    return offset_ < 0;
}

bool scroll_view::can_scroll_down() const {
    return rect_.h + std::abs(offset_) < content_height();
}

int scroll_view::content_height() const {
    int bottom = 0;
    for (const control* c : children_) {
        bottom = std::max(bottom, c->get_rect().y + c->get_rect().h);
    }
    return bottom;
}

void scroll_view::add(control* child) {
    children_.push_back(child);
}

void scroll_view::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    Graphics::saved_state keep(g);
    g.clip_to(rect_);
    for (control* c : children_) {
        c->paint(g, rect_, rect_.x, rect_.y + offset_);
    }
}

void scroll_view::show_scroll_buttons(control& up, control& down) const {
    const bool can_up = can_scroll_up();
    const bool can_down = can_scroll_down();
    up.set_visible(can_up);
    up.set_enabled(can_up);
    down.set_visible(can_down);
    down.set_enabled(can_down);
}

} // namespace zel::form
