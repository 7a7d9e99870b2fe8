#include "form/order/panel_work_bill_hor.h"

#include "form/drawing/drawing.h"
#include "form/shell/manager_2.h"

namespace zel::form {

panel_work_bill_hor::panel_work_bill_hor(manager_2& form) : panel_work_bill(form) {}

panel_work_bill_hor::~panel_work_bill_hor() = default;

rect panel_work_bill_hor::sheet_area() const {
    return content_column(own_rect(), form_.get_scale());
}

panel_work_bill::button_places panel_work_bill_hor::place_buttons(int bw, int bh) const {
    const rect C = button_column(own_rect(), form_.get_scale());
    const int x = C.x + C.w / 2 - bw / 2;
    const int back_y = C.y + C.h - bh / 10 - bh;
    button_places places;
    places.back = rect{x, back_y, bw, bh - bh / 10};
    places.finish = rect{x, back_y - bh / 10 - bh, bw, bh - bh / 10};
    places.rules = true;
    places.column = C;
    return places;
}

void panel_work_bill_hor::paint_columns(Graphics& g, const rect& update) {
    const float s = form_.get_scale();
    fill_inside(g, content_column(own_rect(), s), update, dark_colour);
    fill_inside(g, button_column(own_rect(), s), update, button_column_colour);
}

} // namespace zel::form
