#include "form/account/area_rows_panel.h"

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/list_view.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;

namespace {

// Design lengths of a row.
constexpr double row_height = 130;
constexpr int frame_inset = 3;
constexpr double picture_left = 12;
constexpr double name_gap = 24;
constexpr double font_size = 34;
constexpr int frame_normal = 0;
constexpr int frame_pressed = 1;
constexpr rgb text_colour{255, 255, 255};

} // namespace

area_rows_panel::area_rows_panel(manager_2& form, int icon_id, int band_id)
    : list_panel(form, row_height), icon_id_(icon_id), band_id_(band_id) {}

area_rows_panel::~area_rows_panel() = default;

void area_rows_panel::show_rows(std::vector<std::shared_ptr<const zel_api::command::ref_area>> rows) {
    band_ = form_image(&form_, band_id_);
    icon_ = form_image(&form_, icon_id_);
    // The list keeps to the work rectangle by whole pixels, whatever the scale.
    constexpr int margin = 5;
    show_list(inset_work(margin));
    rows_ = std::move(rows);
    clear_map();
    resize_row_flags(rows_.size());
}

void area_rows_panel::hide() {
    hide_list();
    icon_.reset();
    band_.reset();
}

int area_rows_panel::row_count() const {
    return static_cast<int>(rows_.size());
}

const zel_api::command::ref_area* area_rows_panel::area_at(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return nullptr;
    }
    return rows_[static_cast<std::size_t>(row)].get();
}

void area_rows_panel::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    clear_row_flag(row);
    g.fill_rect(r, brush_holder(black));
    const int top = r.y + frame_inset;
    draw_gradient_frame(g, rect{r.x, top, r.w, r.h - 2 * frame_inset},
                        row == pressed_row ? frame_pressed : frame_normal);
    const zel_api::command::ref_area* area = area_at(row);
    if (!area || !icon_ || !band_) {
        return;
    }
    const float s = form_.get_scale();
    const int band = band_->height();
    const int left = static_cast<int>(static_cast<float>(picture_left) * s + static_cast<float>(r.x));
    icon_->draw(g, left, top + band / 2 - icon_->height() / 2);
    band_->draw(g, left, top + band);

    font_holder font(scaled(font_size, s), 400);
    const int name_left = static_cast<int>(static_cast<float>(name_gap) * s + static_cast<float>(icon_->width() + r.x));
    g.draw_text(font, rect{name_left, top, r.w, band}, area->n, DT_SINGLELINE | DT_VCENTER, TRANSPARENT, text_colour);
    draw_figures(g, font, *area, r.x, top + band, band);
}

void area_rows_panel::send_parking(int64_t area_id) {
    controller* c = controller::instance();
    if (!c) {
        return;
    }
    form_.lock();
    c->set_parking(area_id);
}

void area_rows_panel::on_command(const zel_api::update_mask& mask) {
    if (mask.test(zel_api::key::cmd_result)) {
        // A packet with a result is answered for the result alone.
        if (const auto* result = mask.result_of(zel_api::key::set_parking)) {
            if (result->ok) {
                form_.pop_to_first();
            }
            form_.unlock();
        }
        return;
    }
    if (mask.test(zel_api::key::nda) || mask.test(zel_api::key::adc)) {
        invalidate_list();
    }
}

} // namespace zel::form
