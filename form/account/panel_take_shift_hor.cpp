#include "form/account/panel_take_shift_hor.h"

#include <utility>

#include "form/controls/line_control.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"

namespace zel::form {

panel_take_shift_hor::panel_take_shift_hor(manager_2& form) : panel_take_shift(form) {}

panel_take_shift_hor::~panel_take_shift_hor() = default;

rect panel_take_shift_hor::left_part(float scale) const {
    return content_column(own_, scale);
}

rect panel_take_shift_hor::right_part(float scale) const {
    return button_column(own_, scale);
}

void panel_take_shift_hor::paint_background(Graphics& g, const rect& update) {
    const float s = form_.get_scale();
    const std::pair<rect, rgb> parts[] = {{left_part(s), dark_colour}, {right_part(s), button_column_colour}};
    for (const auto& [part, shade] : parts) {
        fill_inside(g, part, update, shade);
    }
}

panel_take_shift::layout_rects panel_take_shift_hor::place(float scale) const {
    const rect B = right_part(scale);
    const int BW = scaled(action_button_width, scale);
    const int BH = scaled(action_button_height, scale);
    const int x = B.x + B.w / 2 - BW / 2;
    const int back_y = B.y + B.h - BH / 10 - BH;
    const int buy_y = back_y - BH / 10 - BH;
    return {left_part(scale), rect{x, back_y, BW, BH - BH / 10}, rect{x, buy_y, BW, BH - BH / 10}};
}

void panel_take_shift_hor::add_extra_controls() {
    const rect A = left_part(form_.get_scale());
    add<line_control>(2, &form_, rect{A.x + A.w, own_.y, 0, own_.h}, rule_dark);
    add<line_control>(2, &form_, rect{A.x + A.w + 1, own_.y, 0, own_.h}, rule_light);
}

} // namespace zel::form
