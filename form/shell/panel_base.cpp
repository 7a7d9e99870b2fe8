#include "form/shell/panel_base.h"

#include "form/controls/control.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"

namespace zel::form {

void panel_base::paint_layer1(Graphics& g, const rect& update) {
    paint_background(g, update);
    for (const child& c : children_) {
        if (c.layer == 1 && rect_overlaps(c.item->get_rect(), update)) {
            c.item->paint(g, update, 0, 0);
        }
    }
}

void panel_base::paint_layer2(Graphics& g, const rect& update) {
    for (const child& c : children_) {
        if (c.layer == 2 && rect_overlaps(c.item->get_rect(), update)) {
            c.item->paint(g, update, 0, 0);
        }
    }
}

void panel_base::on_pen_up(int x, int y) {
    if (captured_) {
        captured_->on_pen_up(x, y);
    }
}

void panel_base::on_pen_down(int x, int y) {
    control* top = control_at(x, y, 2);
    control* normal = control_at(x, y, 1);
    captured_ = nullptr;
    if (control* target = top ? top : normal) {
        target->on_pen_down(x, y);
        captured_ = target;
    }
}

int panel_base::hit_test(int x, int y) {
    for (const child& c : children_) {
        if (c.item->is_visible() && point_in_rect(c.item->get_rect(), x, y)) {
            return 1;
        }
    }
    return 0;
}

void panel_base::set_rects(const rect& own, const rect& screen) {
    own_ = own;
    screen_ = screen;
}

void panel_base::paint_background(Graphics& g, const rect& update) {
    brush_holder black(rgb{0, 0, 0});
    g.fill_rect(update, black);
}

void panel_base::add_control(control* c, int layer) {
    if (c) {
        children_.push_back(child{c, layer});
    }
}

panel_base::~panel_base() {
    destroy_owned();
}

void panel_base::clear_controls() {
    children_.clear();
    captured_ = nullptr;
    destroy_owned();
}

void panel_base::destroy_owned() {
    while (!owned_.empty()) {
        owned_.pop_back();
    }
}

control* panel_base::control_at(int x, int y, int layer) const {
    for (const child& c : children_) {
        if (c.layer == layer && c.item->is_visible() && point_in_rect(c.item->get_rect(), x, y)) {
            return c.item;
        }
    }
    return nullptr;
}

} // namespace zel::form
