#include "form/account/panel_start2_hor.h"

#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"

namespace zel::form {

int panel_start2_hor::list_width() const {
    return content_column(own_, form().get_scale()).w;
}

void panel_start2_hor::paint_background(Graphics& g, const rect& update) {
    const int list_w = list_width();
    fill_inside(g, rect{own_.x, own_.y, list_w, own_.h}, update, dark_colour);
    fill_inside(g, rect{own_.x + list_w, own_.y, own_.w - list_w, own_.h}, update, button_column_colour);
}

panel_start2::layout panel_start2_hor::lay_out(int arrow_w, int arrow_h) const {
    const float s = form().get_scale();
    const int b = scaled(action_button_height, s);
    const int w = scaled(action_button_width, s);
    const int m = b / 10;
    const rect& o = own_;
    const int list_w = list_width();
    const int left = o.x + list_w + (o.w - list_w) / 2 - w / 2;
    const int bottom_top = o.y + o.h - m - b;
    layout l;
    l.create_profile = {left, bottom_top, w, b - m};
    l.refresh = {left, bottom_top - m - b, w, b - m};
    l.list = {o.x, o.y, list_w, o.h};
    l.up = {o.x + list_w - arrow_w, o.y, arrow_w, arrow_h};
    l.down = {o.x + list_w - arrow_w, o.y + o.h - arrow_h, arrow_w, arrow_h};
    l.lines = {{rect{o.x + list_w, o.y, 0, o.h}, rule_dark}, {rect{o.x + list_w + 1, o.y, 0, o.h}, rule_light}};
    return l;
}

} // namespace zel::form
