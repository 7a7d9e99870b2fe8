#include "form/account/panel_set_car.h"

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/car_param.h"
#include "form/controls/plate_box.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr int icon_id = 2018;
constexpr int plate_id = 2006;
// Design lengths of a row.
constexpr double row_height = 150;
constexpr double frame_inset = 6;
constexpr double gap = 10;
constexpr double font_size = 25;
constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;
constexpr rgb text_colour{255, 255, 255};

} // namespace

panel_set_car::panel_set_car(manager_2& form) : list_panel(form, row_height) {}

panel_set_car::~panel_set_car() = default;

void panel_set_car::show(const panel_param* param) {
    icon_ = form_image(&form_, icon_id);
    const auto plate = form_image(&form_, plate_id);
    plate_ = std::make_unique<plate_box>(&form_, rect{0, 0, plate->width(), plate->height()});
    // The list keeps to the work rectangle by whole pixels, whatever the scale.
    constexpr int margin = 5;
    show_list(inset_work(margin));

    const controller* c = controller::instance();
    cars_ = c ? c->get_cars() : nullptr;
    const auto* given = param_as<car_param>(param);
    if (!given) {
        log(logger::warning, L"panel_set_car::show: no mode given, rows do nothing");
    }
    mode_ = given ? given->mode : -1;
    parking_id_ = given ? given->parking_id : 0;
    if (cars_) {
        resize_row_flags(cars_->freecars.size());
    }
}

void panel_set_car::hide() {
    hide_list();
    icon_.reset();
    plate_.reset();
}

int panel_set_car::row_count() const {
    return cars_ ? static_cast<int>(cars_->freecars.size()) : 0;
}

void panel_set_car::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    clear_row_flag(row);
    g.fill_rect(r, brush_holder(black));
    const float s = form_.get_scale();
    const int s6 = scaled(frame_inset, s);
    const int s10 = scaled(gap, s);
    const rect frame{r.x, r.y + s6, r.w, r.h - 2 * s6};
    draw_gradient_frame(g, frame, row == pressed_row ? frame_pressed : frame_normal);
    if (row < 0 || row >= row_count() || !icon_ || !plate_) {
        return;
    }
    const zel_api::command::car& car = cars_->freecars[static_cast<std::size_t>(row)];
    const int mid = frame.y + frame.h / 2;
    const int pw = icon_->width();
    const int ph = icon_->height();
    icon_->draw(g, r.x + s10, mid - ph / 2);

    font_holder font(scaled(font_size, s), 700);
    const int left = r.x + pw + 2 * s10;
    const int width = r.w - 3 * s10 - pw;
    const UINT flags = DT_SINGLELINE | DT_WORD_ELLIPSIS;
    g.draw_text(font, rect{left, mid - ph / 2, width, ph / 4}, car.name, flags, TRANSPARENT, text_colour);
    g.draw_text(font, rect{left, mid - ph / 2 + ph / 4, width, ph / 4}, car.color, flags, TRANSPARENT, text_colour);
    // The plate's bottom on the icon's.
    plate_->draw(g, left, mid + ph / 2 - plate_->get_rect().h, car.regnum);
}

void panel_set_car::row_clicked(int row) {
    controller* c = controller::instance();
    if (row < 0 || row >= row_count() || !c) {
        return;
    }
    const int64_t car_id = cars_->freecars[static_cast<std::size_t>(row)].id;
    if (mode_ == car_param::begin_shift) {
        form_.lock();
        c->shift_begin(parking_id_, car_id);
    } else if (mode_ == car_param::change_car) {
        form_.lock();
        c->set_work_wheel(car_id);
    }
}

void panel_set_car::on_command(const zel_api::update_mask& mask) {
    const zel_api::command::cmd_result* result = mask.result_of(zel_api::key::shift_begin);
    if (!result) {
        result = mask.result_of(zel_api::key::set_work_wheel);
    }
    if (result) {
        if (result->ok) {
            form_.pop_to_first();
        }
        form_.unlock();
    }
}

} // namespace zel::form
