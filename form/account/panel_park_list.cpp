#include "form/account/panel_park_list.h"

#include "api/command/received/session_param.h"
#include "controller/controller.h"
#include "form/account/car_param.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr int icon_id = 1042;
constexpr int band_id = 1043;
// The two figures' places in the lower band, from the row's left edge, and their width.
constexpr double first_left = 55 + 12;
constexpr double second_left = 165 + 12;
constexpr double figure_width = 70;
constexpr rgb text_colour{255, 255, 255};

} // namespace

panel_park_list::panel_park_list(manager_2& form) : area_rows_panel(form, icon_id, band_id) {}

void panel_park_list::show(const panel_param* param) {
    const auto* area = param_as<number_param>(param);
    if (!area) {
        log(logger::warning, L"panel_park_list::show: no area id");
    }
    area_id_ = area ? area->value : 0;
    const controller* c = controller::instance();
    show_rows(c && area ? c->get_sub_areas(area_id_) : zel_api::record_list<zel_api::command::ref_area>{});
}

void panel_park_list::draw_figures(Graphics& g, const font_holder& font, const zel_api::command::ref_area& area, int x,
                                   int top, int band) {
    const controller* c = controller::instance();
    const auto figures = c ? c->find_adc(area.id) : nullptr;
    if (!figures) {
        return;
    }
    const float s = form_.get_scale();
    const int width = scaled(figure_width, s);
    const auto place = [&](double left, int32_t value) {
        if (value > 0) {
            g.draw_text(font,
                        rect{static_cast<int>(static_cast<float>(left) * s + static_cast<float>(x)), top, width, band},
                        int_to_wstring(value), DT_SINGLELINE | DT_VCENTER, TRANSPARENT, text_colour);
        }
    };
    place(first_left, figures->c);
    place(second_left, figures->q);
}

void panel_park_list::row_clicked(int row) {
    const zel_api::command::ref_area* parking = area_at(row);
    const controller* c = controller::instance();
    if (!parking || !c) {
        return;
    }
    const auto session = c->get_session_param();
    const auto cars = c->get_cars();
    if (session && cars && session->driver_status &&
        *session->driver_status == zel_api::command::driver_status::off_shift && cars->freecars.size() > 1) {
        form_.push_panel(panel_ids::set_car, std::make_shared<car_param>(car_param::begin_shift, parking->id));
        return;
    }
    send_parking(parking->id);
}

} // namespace zel::form
