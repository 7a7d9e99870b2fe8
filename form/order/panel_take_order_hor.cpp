#include "form/order/panel_take_order_hor.h"

#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

// Design lengths, times the scale and truncated.
constexpr double tab_height = 50;
constexpr int content_inset = 6;

constexpr rgb left_colour{23, 27, 34};

} // namespace

rect panel_take_order_hor::left_column() const {
    return content_column(own_, form_.get_scale());
}

rect panel_take_order_hor::right_column() const {
    return button_column(own_, form_.get_scale());
}

panel_take_order::layout panel_take_order_hor::place() const {
    const float s = form_.get_scale();
    const int X = own_.x, Y = own_.y, W = own_.w, H = own_.h;
    const int th = scaled(tab_height, s);
    const int bh = scaled(action_button_height, s);
    const int bw = scaled(action_button_width, s);
    const int g = bh / 10;
    const int L = left_column().w;
    const int buttons_x = X + L + (W - L) / 2 - bw / 2;
    layout l;
    l.order_tab = {X, Y, L / 2, th};
    l.tariff_tab = {X + L / 2, Y, L / 2, th};
    l.back = {buttons_x, Y + H - g - bh, bw, bh - g};
    l.take = {buttons_x, Y + H - 2 * g - 2 * bh, bw, bh - g};
    l.content = {X + content_inset, Y + th, L - 2 * content_inset, H - th};
    l.dark_line = {X + L, Y, 0, H};
    l.light_line = {X + L + 1, Y, 0, H};
    l.line_layer = 2;
    return l;
}

void panel_take_order_hor::paint_background(Graphics& g, const rect&) {
    g.fill_rect(left_column(), brush_holder(left_colour));
    g.fill_rect(right_column(), brush_holder(button_column_colour));
}

} // namespace zel::form
