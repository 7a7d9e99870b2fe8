#include "form/order/panel_work_bill_hor.h"

#include "form/drawing.h"
#include "form/frame_image_button.h"
#include "form/line_control.h"
#include "form/manager_2.h"

namespace zel::form {

panel_work_bill_hor::panel_work_bill_hor(manager_2& form) : panel_work_bill(form) {}

panel_work_bill_hor::~panel_work_bill_hor() = default;

rect panel_work_bill_hor::sheet_area() const {
    return content_column(own_rect(), form_.get_scale());
}

void panel_work_bill_hor::place_buttons(int bw, int bh) {
    const rect C = button_column(own_rect(), form_.get_scale());
    const int x = C.x + C.w / 2 - bw / 2;
    const int back_y = C.y + C.h - bh / 10 - bh;
    back_ = std::make_unique<frame_image_button>(
        &form_, rect{x, back_y, bw, bh - bh / 10}, [this] { go_back(); }, back_image_, L"Назад");
    finish_ = std::make_unique<frame_image_button>(
        &form_, rect{x, back_y - bh / 10 - bh, bw, bh - bh / 10}, [this] { on_finish(); }, finish_image_,
        L"Завершить заказ");
    dark_line_ = std::make_unique<line_control>(&form_, rect{C.x, C.y, 0, C.h}, rule_dark);
    light_line_ = std::make_unique<line_control>(&form_, rect{C.x + 1, C.y, 0, C.h}, rule_light);
    add_control(dark_line_.get(), 2);
    add_control(light_line_.get(), 2);
}

void panel_work_bill_hor::paint_columns(Graphics& g, const rect& update) {
    const float s = form_.get_scale();
    fill_inside(g, content_column(own_rect(), s), update, dark_colour);
    fill_inside(g, button_column(own_rect(), s), update, button_column_colour);
}

void panel_work_bill_hor::hide() {
    panel_work_bill::hide();
    dark_line_.reset();
    light_line_.reset();
}

} // namespace zel::form
