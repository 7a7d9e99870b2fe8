#include "form/order/panel_work_bill_hor.h"

#include "form/drawing.h"
#include "form/frame_image_button.h"
#include "form/line_control.h"
#include "form/manager_2.h"

namespace zel::form {

namespace {

constexpr double button_width = 220.0;
// The sheet's column leaves the button column this much beside the buttons' width.
constexpr double column_margin = 40.0;
constexpr rgb button_shade{41, 48, 49};
constexpr unsigned divider_dark = 0x15131F;
constexpr unsigned divider_light = 0x3D4349;

} // namespace

panel_work_bill_hor::panel_work_bill_hor(manager_2& form) : panel_work_bill(form) {}

panel_work_bill_hor::~panel_work_bill_hor() = default;

rect panel_work_bill_hor::sheet_area() const {
    const rect& R = own_rect();
    const float s = form_.get_scale();
    const int bw = scaled(button_width, s);
    return rect{R.x, R.y, static_cast<int>(static_cast<float>(R.w - bw) - static_cast<float>(column_margin) * s), R.h};
}

rect panel_work_bill_hor::button_column() const {
    const rect& R = own_rect();
    const rect sheet = sheet_area();
    return rect{R.x + sheet.w, R.y, R.w - sheet.w, R.h};
}

void panel_work_bill_hor::place_buttons(int bw, int bh) {
    const rect C = button_column();
    const int x = C.x + C.w / 2 - bw / 2;
    const int back_y = C.y + C.h - bh / 10 - bh;
    back_ = std::make_unique<frame_image_button>(
        &form_, rect{x, back_y, bw, bh - bh / 10}, [this] { go_back(); }, back_image_, L"Назад");
    finish_ = std::make_unique<frame_image_button>(
        &form_, rect{x, back_y - bh / 10 - bh, bw, bh - bh / 10}, [this] { on_finish(); }, finish_image_,
        L"Завершить заказ");
    dark_line_ = std::make_unique<line_control>(&form_, rect{C.x, C.y, 0, C.h}, divider_dark);
    light_line_ = std::make_unique<line_control>(&form_, rect{C.x + 1, C.y, 0, C.h}, divider_light);
    add_control(dark_line_.get(), 2);
    add_control(light_line_.get(), 2);
}

void panel_work_bill_hor::paint_columns(Graphics& g, const rect& update) {
    fill_inside(g, sheet_area(), update, dark_colour);
    fill_inside(g, button_column(), update, button_shade);
}

void panel_work_bill_hor::hide() {
    panel_work_bill::hide();
    dark_line_.reset();
    light_line_.reset();
}

} // namespace zel::form
