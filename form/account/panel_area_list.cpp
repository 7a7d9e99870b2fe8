#include "form/account/panel_area_list.h"

#include "controller/controller.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr int icon_id = 1040;
constexpr int band_id = 1041;
// The count's place in the lower band, from the row's left edge.
constexpr double count_left = 55 + 12;
constexpr rgb text_colour{255, 255, 255};

} // namespace

panel_area_list::panel_area_list(manager_2& form) : area_rows_panel(form, icon_id, band_id) {}

void panel_area_list::show(const panel_param*) {
    const controller* c = controller::instance();
    show_rows(c ? c->get_type2_areas() : zel_api::record_list<zel_api::command::ref_area>{});
}

void panel_area_list::draw_figures(Graphics& g, const font_holder& font, const zel_api::command::ref_area& area, int x,
                                   int top, int band) {
    const controller* c = controller::instance();
    const auto figure = c ? c->find_nda(area.id) : nullptr;
    const int width = band_image()->width();
    const float s = form_.get_scale();
    g.draw_text(font,
                rect{static_cast<int>(static_cast<float>(count_left) * s + static_cast<float>(x)), top,
                     width - width / 3, band},
                int_to_wstring(figure ? figure->c : 0), DT_SINGLELINE | DT_VCENTER, TRANSPARENT, text_colour);
}

void panel_area_list::row_clicked(int row) {
    const zel_api::command::ref_area* area = area_at(row);
    const controller* c = controller::instance();
    if (!area || !c) {
        return;
    }
    if (!c->get_current_order()) {
        form_.push_panel(panel_ids::park_list, make_number_param(area->id));
        return;
    }
    send_parking(area->id);
}

} // namespace zel::form
