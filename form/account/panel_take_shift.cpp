// Sections: showing and hiding | the card | the buttons and commands.
#include "form/account/panel_take_shift.h"

#include "api/command/received/cmd_result.h"
#include "api/command/received/sell_shift.h"
#include "api/command/received/shift.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/shift_card.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

namespace {

constexpr int name_icon_id = 2011;
constexpr int time_strip_id = 2012;
constexpr int date_plate_id = 2013;
constexpr int badge_id = 2010;
constexpr int back_image_id = 1048;
constexpr int buy_image_id = 1051;

// Design lengths of the card and the buttons.
constexpr double card_inset = 20.0;
constexpr double gap = 10.0;
constexpr double card_height = 180.0;

constexpr int name_font = 30;
constexpr int clock_font = 26;
constexpr int price_font = 45;
constexpr int currency_font = 30;
constexpr int date_font = 23;
constexpr unsigned white_text = white.rrggbb();
constexpr unsigned length_colour = 0x2E423C;
constexpr unsigned price_colour = 0xF9A218;
// DrawText flags: centred both ways; single line left and vertically centred; single line at the bottom;
// single line centred both ways.
constexpr unsigned centred = 5;
constexpr unsigned left_middle = 36;
constexpr unsigned bottom_line = 40;
constexpr unsigned centred_line = 37;

int text_width(const manager_2& form, const std::wstring& text, int size, int weight) {
    font_holder font(scaled(size, form.get_scale()), weight);
    return text_extent(form.get_hwnd(), font, text).width;
}

} // namespace

panel_take_shift::panel_take_shift(manager_2& form) : form_(form) {}

panel_take_shift::~panel_take_shift() = default;

// --- showing and hiding

void panel_take_shift::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

panel_take_shift::layout_rects panel_take_shift::place(float scale) const {
    const rect& work = own_;
    const int BW = scaled(action_button_width, scale);
    const int BH = scaled(action_button_height, scale);
    const int y = work.y + work.h - BH / 10 - BH;
    return {work, rect{work.x + work.w / 4 - BW / 2, y, BW, BH - BH / 10},
            rect{work.x + 3 * (work.w / 4) - BW / 2, y, BW, BH - BH / 10}};
}

void panel_take_shift::show(const panel_param* param) {
    const auto* shift = param_as<number_param>(param);
    if (!shift) {
        log(logger::warning, L"panel_take_shift::show: no shift id, back to the list");
        form_.pop_panel();
        return;
    }
    shift_id_ = shift->value;
    name_icon_ = form_image(&form_, name_icon_id);
    time_strip_ = form_image(&form_, time_strip_id);
    date_plate_ = form_image(&form_, date_plate_id);
    badge_image_ = form_image(&form_, badge_id);
    back_image_ = form_image(&form_, back_image_id);
    buy_image_ = form_image(&form_, buy_image_id);
    make_controls();
    shown_ = true;
    shift_offer_text();
}

void panel_take_shift::make_controls() {
    const float s = form_.get_scale();
    const layout_rects where = place(s);
    const rect& card = where.card;
    const int s10 = scaled(gap, s);
    const int s20 = scaled(card_inset, s);
    const int ix = card.x + s20;
    const int iy = card.y + s20;
    const int iw = card.w - 2 * s20 - 2 * s10;
    const int ch = static_cast<int>(static_cast<float>(card_height) * s - static_cast<float>(s20));
    const int SH = time_strip_->height();
    const int SW = time_strip_->width();
    const int band = (ch - SH) / 2;
    const int sy = iy + ch / 2 - SH / 2;
    const int P = iy + ch / 2 + SH / 2;

    add<image_control>(1, &form_,
                       rect{ix, iy + band / 2 - name_icon_->height() / 2, name_icon_->width(), name_icon_->height()},
                       name_icon_);
    add<image_control>(1, &form_, rect{ix, sy, SW, SH}, time_strip_);

    const shift_card::time_places places = shift_card::places(ix, sy, s);
    length_box_ = places.length;
    hours_ = add_label(2, places.hours, clock_font, white_text, centred);
    minutes_ = add_label(2, places.minutes, clock_font, white_text, centred);
    length_number_ = add_label(2, length_box_, shift_card::length_number_font, length_colour, centred);
    length_unit_ = add_label(2, length_box_, shift_card::length_unit_font, length_colour, centred);

    name_ = add_label(1, rect{ix + name_icon_->width() + s10, iy, iw - name_icon_->width(), band}, name_font,
                      white_text, left_middle);
    for (int place = 0; place < 2; ++place) {
        const rect plate{ix + (place + 1) * (SW + s10), sy, date_plate_->width(), date_plate_->height()};
        date_plates_[place] = &add<image_control>(1, &form_, plate, date_plate_);
    }
    price_ = add_label(1, rect{ix, P, iw, band}, price_font, price_colour, bottom_line);
    currency_ = add_label(1, rect{ix + text_width(form_, L"300", price_font, 700), P, iw, band}, currency_font,
                          price_colour, bottom_line);
    badge_ = &add<image_control>(1, &form_,
                                 rect{card.x + card.w - badge_image_->width(), P + band - badge_image_->height() + s10,
                                      badge_image_->width(), badge_image_->height()},
                                 badge_image_);
    for (int place = 0; place < 2; ++place) {
        date_labels_[place] = add_label(2, date_plates_[place]->get_rect(), date_font, white_text, centred_line);
    }

    add<frame_image_button>(
        1, &form_, where.back, [this] { on_back_button(); }, back_image_, L"Назад");
    buy_ = &add<frame_image_button>(
        1, &form_, where.buy, [this] { on_buy(); }, buy_image_, L"Купить смену");
    add_extra_controls();
}

text_label* panel_take_shift::add_label(int layer, const rect& r, int size, unsigned colour, unsigned flags) {
    auto& label = add<text_label>(layer, &form_, r, std::wstring());
    label.set_font_size(size);
    label.set_color(colour);
    label.set_format(flags);
    return &label;
}

void panel_take_shift::hide() {
    shown_ = false;
    name_ = nullptr;
    price_ = nullptr;
    currency_ = nullptr;
    badge_ = nullptr;
    hours_ = nullptr;
    minutes_ = nullptr;
    length_number_ = nullptr;
    length_unit_ = nullptr;
    buy_ = nullptr;
    date_plates_ = {};
    date_labels_ = {};
    for (auto* image : {&name_icon_, &time_strip_, &date_plate_, &badge_image_, &back_image_, &buy_image_}) {
        image->reset();
    }
}

// --- the card

void panel_take_shift::shift_offer_text() {
    const auto* c = controller_::controller::instance();
    if (!shown_ || !c) {
        return;
    }
    const shift_card::sales sales = c->get_sell_shifts();
    zel_api::record_ptr<zel_api::command::shift> shift;
    for (const auto& candidate : c->get_shifts()) {
        if (candidate && candidate->id == shift_id_) {
            shift = candidate;
            break;
        }
    }
    if (!shift) {
        return;
    }
    name_->set_text(shift->n, 700);
    if (shift->c) {
        const std::wstring price = shift_card::price(*shift);
        price_->set_text(price, 700);
        const rect& at = price_->get_rect();
        currency_->set_rect(rect{at.x + text_width(form_, price, price_font, 700), at.y, at.w, at.h});
        currency_->set_text(L" р", 400);
    }
    // A start or a length that the record lost empties its box rather than keeping the old one.
    const shift_card::start_text start = shift_card::start(*shift);
    hours_->set_text(start.hours, 400);
    minutes_->set_text(start.minutes, 400);
    const shift_card::length_text length = shift_card::fitted_length(form_.get_hwnd(), *shift, form_.get_scale());
    const int number_width = text_width(form_, length.number, length.number_size, 400);
    const int unit_width = text_width(form_, length.unit, shift_card::length_unit_font, 400);
    const int left = length_box_.x + length_box_.w / 2 - (number_width + unit_width) / 2;
    length_number_->set_rect(rect{left, length_box_.y, number_width, length_box_.h});
    length_unit_->set_rect(rect{left + number_width, length_box_.y, unit_width, length_box_.h});
    length_number_->set_font_size(length.number_size);
    length_number_->set_text(length.number, 400);
    length_unit_->set_text(length.unit, 400);

    for (int place = 0; place < 2; ++place) {
        date_plates_[place]->set_enabled(false);
        date_plates_[place]->set_visible(false);
        date_labels_[place]->set_enabled(false);
        date_labels_[place]->set_visible(false);
    }
    badge_->set_visible(false);
    const shift_card::purchases bought = shift_card::bought(sales, shift_id_);
    for (int place = 0; place < bought.found; ++place) {
        if (bought.places[place].shown) {
            date_plates_[place]->set_enabled(true);
            date_plates_[place]->set_visible(true);
            date_labels_[place]->set_enabled(true);
            date_labels_[place]->set_visible(true);
            date_labels_[place]->set_text(bought.places[place].day, 400);
        }
    }
    badge_->set_visible(bought.found > 0);
    const bool can_buy = shift->status && *shift->status == 1 && bought.found <= 1;
    buy_->set_enabled(can_buy);
    buy_->set_visible(can_buy);
    // The image controls store their flags only.
    form_.invalidate_rect(own_);
}

// --- the buttons and commands

void panel_take_shift::on_back_button() {
    form_.pop_panel();
}

void panel_take_shift::on_buy() {
    auto* c = controller_::controller::instance();
    if (!c) {
        return;
    }
    form_.lock();
    c->buy_shift(shift_id_);
}

void panel_take_shift::on_command(const zel_api::update_mask& mask) {
    if (const auto* result = mask.result_of(zel_api::key::buy_shift)) {
        if (result->ok) {
            form_.pop_panel();
        }
        form_.unlock();
    }
    shift_offer_text();
}

} // namespace zel::form
