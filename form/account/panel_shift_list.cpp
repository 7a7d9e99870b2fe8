#include "form/account/panel_shift_list.h"

#include "api/command/received/sell_shift.h"
#include "api/command/received/shift.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/panel_take_shift.h"
#include "form/account/shift_card.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"

namespace zel::form {

namespace {

constexpr double row_height = 180.0;
constexpr double list_margin = 10.0;
constexpr double frame_inset = 6.0;
constexpr double gap = 10.0;

constexpr int name_icon_id = 2011;
constexpr int time_strip_id = 2012;
constexpr int badge_id = 2010;
constexpr int date_plate_id = 2013;

constexpr int name_font = 30;
constexpr int price_font = 45;
constexpr int currency_font = 30;
constexpr int date_font = 23;
constexpr int clock_font = 26;
constexpr rgb price_colour{249, 162, 24};
constexpr rgb length_colour{46, 66, 60};
constexpr UINT left_middle = 36;
constexpr UINT bottom_line = 40;
constexpr UINT centred_line = 37;

} // namespace

panel_shift_list::panel_shift_list(manager_2& form) : list_panel(form, row_height) {}

panel_shift_list::~panel_shift_list() = default;

void panel_shift_list::show(const panel_param*) {
    name_icon_ = form_image(&form_, name_icon_id);
    time_strip_ = form_image(&form_, time_strip_id);
    badge_ = form_image(&form_, badge_id);
    date_plate_ = form_image(&form_, date_plate_id);
    show_list(inset_work(scaled(list_margin, form_.get_scale())));
    refresh();
    resize_row_flags(shifts_.size());
}

void panel_shift_list::hide() {
    hide_list();
    name_icon_.reset();
    time_strip_.reset();
    badge_.reset();
    date_plate_.reset();
}

void panel_shift_list::refresh() {
    const auto* c = controller_::controller::instance();
    shifts_ = c ? c->get_shifts() : decltype(shifts_){};
    sales_ = c ? c->get_sell_shifts() : decltype(sales_){};
}

void panel_shift_list::on_command(const zel_api::update_mask& mask) {
    if (mask.test(zel_api::key::shift) || mask.test(zel_api::key::sell_shift) || mask.test(zel_api::key::shift_del)) {
        refresh();
        invalidate_list();
    }
}

void panel_shift_list::row_clicked(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= shifts_.size() || !shifts_[static_cast<std::size_t>(row)]) {
        return;
    }
    form_.push_panel(panel_take_shift::id, make_number_param(shifts_[static_cast<std::size_t>(row)]->id));
}

void panel_shift_list::draw_row(Graphics& g, const rect& r, int, int row, int pressed_row, int) {
    clear_row_flag(row);
    // fill_rect covers one pixel more each way; the row keeps to its own rectangle.
    g.fill_rect(rect{r.x, r.y, r.w - 1, r.h - 1}, brush_holder(dark_colour));
    if (row < 0 || static_cast<std::size_t>(row) >= shifts_.size() || !shifts_[static_cast<std::size_t>(row)]) {
        return;
    }
    const zel_api::command::shift& shift = *shifts_[static_cast<std::size_t>(row)];
    const float s = form_.get_scale();
    const int s6 = scaled(frame_inset, s);
    const int s10 = scaled(gap, s);

    const rect F{r.x, r.y + s6, r.w, r.h - 2 * s6};
    const int32_t status = shift_card::sale_status(sales_, shift.id);
    draw_gradient_frame(g, F, row == pressed_row ? 1 : status == 2 ? 2 : 0);

    const int ix = r.x + s10;
    const int iy = F.y + s10;
    const int iw = r.w - 4 * s10;
    const int ih = F.h - 2 * s10;
    const int SH = time_strip_->height();
    const int SW = time_strip_->width();
    const int band = (ih - SH) / 2;
    const int sy = iy + ih / 2 - SH / 2;

    name_icon_->draw(g, ix, iy + band / 2 - name_icon_->height() / 2);
    font_holder name_font_holder(scaled(name_font, s), 700);
    g.draw_text(name_font_holder, rect{ix + name_icon_->width() + s10, iy, iw - name_icon_->width(), band}, shift.n,
                left_middle, TRANSPARENT, white);
    time_strip_->draw(g, ix, sy);

    const int P = iy + ih / 2 + SH / 2;
    const std::wstring price = shift_card::price(shift);
    font_holder price_holder(scaled(price_font, s), 700);
    g.draw_text(price_holder, rect{ix, P, iw, band}, price, bottom_line, TRANSPARENT, price_colour);
    const int price_width = text_extent(form_.get_hwnd(), price_holder, price).width;
    font_holder currency_holder(scaled(currency_font, s), 400);
    g.draw_text(currency_holder, rect{ix + price_width, P, iw, band}, L" р.", bottom_line, TRANSPARENT, price_colour);

    if (status == 1 || status == 2) {
        const rect& work = own_;
        badge_->draw(g, work.x + work.w - badge_->width(), P + band - badge_->height() + s6);
    }

    const shift_card::purchases bought = shift_card::bought(sales_, shift.id);
    font_holder date_holder(scaled(date_font, s), 400);
    for (int place = 0; place < bought.found; ++place) {
        if (!bought.places[place].shown) {
            continue;
        }
        const rect plate{ix + (place + 1) * (SW + s10), iy + ih / 2 - date_plate_->height() / 2, date_plate_->width(),
                         date_plate_->height()};
        date_plate_->draw(g, plate.x, plate.y);
        g.draw_text(date_holder, plate, bought.places[place].day, centred_line, TRANSPARENT, white);
    }

    const shift_card::start_text start = shift_card::start(shift);
    font_holder clock_holder(scaled(clock_font, s), 400);
    const shift_card::time_places places = shift_card::places(ix, sy, s);
    g.draw_text(clock_holder, places.hours, start.hours, centred_line, TRANSPARENT, white);
    g.draw_text(clock_holder, places.minutes, start.minutes, centred_line, TRANSPARENT, white);

    if (shift.dur) {
        const shift_card::length_text length = shift_card::fitted_length(form_.get_hwnd(), shift, s);
        const rect box = places.length;
        font_holder number_holder(scaled(length.number_size, s), 400);
        font_holder unit_holder(scaled(shift_card::length_unit_font, s), 400);
        const int number_width = text_extent(form_.get_hwnd(), number_holder, length.number).width;
        const int unit_width = text_extent(form_.get_hwnd(), unit_holder, length.unit).width;
        const int left = box.x + box.w / 2 - (number_width + unit_width) / 2;
        g.draw_text(number_holder, rect{left, box.y, number_width, box.h}, length.number, centred_line, TRANSPARENT,
                    length_colour);
        g.draw_text(unit_holder, rect{left + number_width, box.y, unit_width, box.h}, length.unit, centred_line,
                    TRANSPARENT, length_colour);
    }
}

} // namespace zel::form
