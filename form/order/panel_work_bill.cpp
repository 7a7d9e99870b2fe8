// Sections: layout | show and hide | paint | finish and close | commands.
#include "form/order/panel_work_bill.h"

#include <cmath>
#include <cstdio>

#include "api/bill_record.h"
#include "api/command/received/ref_area.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/line_control.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/bill_money.h"
#include "form/order/segmented_button.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_param.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/taximeter.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;
using controller_::order_close;
using zel_api::command::order;

namespace {

constexpr rgb text_grey{73, 73, 73};

// "%.1f" of a figure of the sheet; one that is not finite, or beyond what the row can hold, as its edge or 0.
std::wstring format1(float v) {
    constexpr double edge = 99999999.9;
    const double shown = std::isfinite(v) ? std::fmax(-edge, std::fmin(edge, static_cast<double>(v))) : 0.0;
    wchar_t text[64];
    std::swprintf(text, 64, L"%.1f", shown);
    return text;
}

} // namespace

panel_work_bill::panel_work_bill(manager_2& form) : form_(form) {}

panel_work_bill::~panel_work_bill() {
    if (closing_) {
        if (controller* ctl = controller::instance()) {
            ctl->closing().forget();
        }
    }
    release();
}

rect panel_work_bill::sheet_area() const {
    return own_rect();
}

panel_work_bill::button_places panel_work_bill::place_buttons(int bw, int bh) const {
    const rect& R = own_rect();
    const int y = R.y + R.h - bh / 10 - bh;
    button_places places;
    places.back = rect{R.x + R.w / 4 - bw / 2, y, bw, bh - bh / 10};
    places.finish = rect{R.x + 3 * (R.w / 4) - bw / 2, y, bw, bh - bh / 10};
    return places;
}

void panel_work_bill::paint_columns(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

// --- show and hide

void panel_work_bill::show(const panel_param*) {
    left_ = false;
    if (leave_on_show_) {
        leave_on_show_ = false;
        leave();
        return;
    }
    const float s = form_.get_scale();
    const skin_images* skin = form_.get_skin_images();
    back_image_ = skin_images::image_of(skin, 1048);
    finish_image_ = skin_images::image_of(skin, 1055);
    for (int i = 0; i < 7; ++i) {
        sheet_[i] = skin_images::image_of(skin, 2174 + i);
    }
    const button_places places = place_buttons(scaled(action_button_width, s), scaled(action_button_height, s));
    if (places.rules) {
        const rect& C = places.column;
        add<line_control>(2, &form_, rect{C.x, C.y, 0, C.h}, rule_dark);
        add<line_control>(2, &form_, rect{C.x + 1, C.y, 0, C.h}, rule_light);
    }
    add<frame_image_button>(
        1, &form_, places.back, [this] { go_back(); }, back_image_, L"Назад");
    add<frame_image_button>(
        1, &form_, places.finish, [this] { on_finish(); }, finish_image_, L"Завершить заказ");

    const rect A = sheet_area();
    const int sheet_h = scaled(380, s);
    sheet_[2]->resize(sheet_[2]->width(), sheet_h - sheet_[5]->height() - sheet_[0]->height());
    const double tw = sheet_[2]->width();
    const double ty = 26 * s + A.y;
    const double tx = A.x + A.w / 2 - sheet_[2]->width() / 2;
    auto R = [](double x, double y, double w, double h) {
        return rect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
    };
    pickup_r_ = R(tx + 52 * s, ty + 24 * s, tw - 52 * s, 26 * s);
    destination_r_ = R(tx + 52 * s, ty + 52 * s, tw - 52 * s, 26 * s);
    distance_r_ = R(tx + 28 * s, ty + 88 * s, tw - 56 * s, 24 * s);
    trip_r_ = R(tx + 28 * s, ty + 118 * s, tw - 56 * s, 24 * s);
    meter_r_ = R(tx + 28 * s, ty + 164 * s, tw - 56 * s, 24 * s);
    downtime_r_ = R(tx + 28 * s, ty + 194 * s, tw - 56 * s, 24 * s);
    total_label_r_ = R(tx + 28 * s, ty + 252 * s, tw - 56 * s, 28 * s);
    const double iw = total_label_r_.w * (10.0 / 17.0);
    total_r_ = R(total_label_r_.x + total_label_r_.w - iw, ty + 230 * s, iw, 70 * s);

    pickup_.clear();
    destination_.clear();
    total_ = distance_ = trip_seconds_ = downtime_seconds_ = 0;
    meter_sum_ = 0;
    edit_ = &add<segmented_button>(1, &form_,
                                   rect{total_r_.x - scaled(49, s), total_r_.y, total_r_.w + scaled(57, s), total_r_.h},
                                   [this] { on_edit_params(); });
    edit_->set_visible(false);
    edit_->set_enabled(false);

    controller* ctl = controller::instance();
    auto current = ctl ? ctl->get_current_order() : nullptr;
    // Shown again (after a dialog) while its close is on its way, the bill keeps the order being closed even
    // when the server removed it already: the close's end decides where the driver goes.
    if (current || !closing_) {
        order_ = std::move(current);
    }
    if (!order_ || !ctl) {
        form_.pop_to_first();
        return;
    }
    pickup_ = order_->af.t;
    destination_ = order_->at.empty() ? L"" : order_->at.back().t;
    if (auto bill = ctl->get_bill()) {
        distance_ = clamped_int32(bill->distance_ref());
        meter_sum_ = bill->taximeter_cost_ref();
        total_ = whole_roubles(bill->total_ref());
        trip_seconds_ = bill->trip_seconds_ref();
        downtime_seconds_ = bill->downtime_seconds_ref();
        if ((bill->tariff_mode_ref() & 3) != 0) {
            edit_->set_visible(true);
            edit_->set_enabled(true);
        }
    }
    form_.play_sound(5);
    if (gps::taximeter* meter = ctl->get_taximeter()) {
        meter->set_pause(1);
        paused_ = true;
    }
    discount_answer_ = 0;
}

void panel_work_bill::hide() {
    if (paused_) {
        controller* ctl = controller::instance();
        if (gps::taximeter* meter = ctl ? ctl->get_taximeter() : nullptr) {
            meter->set_pause(0);
        }
        paused_ = false;
    }
    release();
}

void panel_work_bill::release() {
    // The controls are the panel base's: the clear after hide destroys them.
    edit_ = nullptr;
    back_image_.reset();
    finish_image_.reset();
    for (auto& p : sheet_) {
        p.reset();
    }
}

// --- paint

void panel_work_bill::paint_background(Graphics& g, const rect& update) {
    paint_columns(g, update);
    if (!sheet_[0]) {
        return;
    }
    const float s = form_.get_scale();
    const rect A = sheet_area();
    auto centred = [&](int i, int y) { sheet_[i]->draw(g, A.x + A.w / 2 - sheet_[i]->width() / 2, y); };
    const int top = A.y + scaled(26, s);
    centred(3, A.y);
    centred(5, top);
    centred(4, top);
    centred(2, top + sheet_[5]->height());
    centred(0, top + sheet_[5]->height() + sheet_[2]->height());
    centred(1, A.y + scaled(180, s));
    const int gap_top = pickup_r_.y + pickup_r_.h;
    sheet_[6]->draw(g, pickup_r_.x - sheet_[6]->width() - scaled(8, s),
                    gap_top + (destination_r_.y - gap_top) / 2 - sheet_[6]->height() / 2);

    font_holder bold(scaled(28, s), 700);
    font_holder normal(scaled(28, s), 400);
    g.draw_text(bold, pickup_r_, pickup_, DT_SINGLELINE | DT_BOTTOM | DT_WORD_ELLIPSIS, 1, text_grey);
    g.draw_text(bold, destination_r_, destination_, DT_SINGLELINE | DT_BOTTOM | DT_WORD_ELLIPSIS, 1, text_grey);
    g.draw_text(normal, distance_r_, L"Расстояние", DT_SINGLELINE | DT_BOTTOM, 1, text_grey);
    g.draw_text(normal, trip_r_, L"Время поездки", DT_SINGLELINE | DT_BOTTOM, 1, text_grey);
    g.draw_text(normal, meter_r_, L"По таксометру", DT_SINGLELINE | DT_BOTTOM, 1, text_grey);
    g.draw_text(normal, downtime_r_, L"Простой", DT_SINGLELINE | DT_BOTTOM, 1, text_grey);
    g.draw_text(bold, total_label_r_, L"Итого", DT_SINGLELINE | DT_BOTTOM, 1, black);

    controller* ctl = controller::instance();
    auto order = ctl ? ctl->get_current_order() : nullptr;
    if (order) {
        const bool cashless = order->icl.value_or(0) == 1;
        draw_value(g, meter_r_, format1(cashless ? 0.0f : meter_sum_), L"");
        draw_total(g, total_r_, cashless ? 0.0 : static_cast<double>(total_));
    }
    draw_value(g, distance_r_, format1(static_cast<float>(distance_ * 0.001)), L" КМ");
    draw_value(g, trip_r_, int_to_wstring(trip_seconds_ / 60), L" МИН");
    draw_value(g, downtime_r_, int_to_wstring(downtime_seconds_ / 60), L" МИН");
}

void panel_work_bill::draw_value(Graphics& g, const rect& row, const std::wstring& value,
                                 const std::wstring& unit) const {
    const float s = form_.get_scale();
    font_holder big(scaled(28, s), 700);
    font_holder small(scaled(14, s), 700);
    const size us = text_extent(form_.get_hwnd(), small, unit);
    const size vs = text_extent(form_.get_hwnd(), big, value);
    const int right = row.x + row.w;
    const int bottom = row.y + row.h;
    const rect ur{right - us.width, bottom - scaled(4, s) - us.height, us.width, us.height};
    g.draw_text(small, ur, unit, DT_SINGLELINE | DT_BOTTOM, 1, black);
    g.draw_text(big, rect{ur.x - vs.width, bottom - vs.height, vs.width, vs.height}, value, DT_SINGLELINE | DT_BOTTOM,
                1, black);
}

void panel_work_bill::draw_total(Graphics& g, const rect& r, double value) const {
    const float s = form_.get_scale();
    // Roubles and kopecks of the figure held within the 32-bit range, so neither part overflows.
    const int32_t whole = clamped_int32(value);
    const double cents = std::isfinite(value) ? std::fmod(std::fabs(value) * 100.0, 100.0) : 0.0;
    const std::wstring roubles = int_to_wstring(whole);
    const std::wstring kopecks = L"." + int_to_wstring(static_cast<int>(cents));
    int n = 65;
    for (; n > 0; --n) {
        const int w = text_extent(form_.get_hwnd(), font_holder(scaled(n, s), 700), roubles).width +
                      text_extent(form_.get_hwnd(), font_holder(scaled(n / 2, s), 700), kopecks).width;
        if (w <= r.w) {
            break;
        }
    }
    font_holder big(scaled(n, s), 700);
    font_holder small(scaled(n / 2, s), 700);
    const size rs = text_extent(form_.get_hwnd(), big, roubles);
    const size ks = text_extent(form_.get_hwnd(), small, kopecks);
    const int right = r.x + r.w;
    const int ry = r.y + (r.h - rs.height) / 2;
    g.draw_text(small, rect{right - ks.width, ry + rs.height - scaled(4, s) - ks.height, ks.width, ks.height}, kopecks,
                DT_SINGLELINE | DT_BOTTOM, 1, black);
    g.draw_text(big, rect{right - ks.width - rs.width, ry, rs.width, rs.height}, roubles, DT_SINGLELINE | DT_BOTTOM, 1,
                black);
}

// --- finish and close

void panel_work_bill::go_back() {
    form_.pop_panel();
}

void panel_work_bill::on_edit_params() {
    form_.push_panel(panel_ids::close_params, make_number_param(0));
}

void panel_work_bill::on_finish() {
    controller* ctl = controller::instance();
    if (!order_ || !ctl) {
        form_.pop_to_first();
        return;
    }
    auto tariff = ctl->get_tariff(order_->s_tid);
    const int32_t mode = tariff && tariff->min_sum_prio ? *tariff->min_sum_prio : 2;
    const int32_t meter = whole_roubles(meter_sum_);
    const int32_t minimum = fare_rule_max(mode, whole_roubles(order_->msum.value_or(0.0f)), meter, meter);
    if (total_ < minimum && order_->icl.value_or(0) == 0) {
        form_.push_panel(manager_2::dialog_id,
                         std::make_shared<dialog_request>(
                             0, L"Минимальная сумма для завершения заказа: " + int_to_wstring(minimum) + L" р.",
                             [this](int) { go_back(); }));
        return;
    }
    if (order_->cts && *order_->cts > 0.0f) {
        form_.push_panel(manager_2::dialog_id,
                         std::make_shared<dialog_request>(1,
                                                          L"Клиент воспользовался скидкой: " +
                                                              int_to_wstring(clamped_int32(*order_->cts)) + L" р.?",
                                                          [this](int answer) { on_discount_answer(answer); }));
        return;
    }
    close();
}

void panel_work_bill::on_discount_answer(int answer) {
    discount_answer_ = answer == 1 ? 1 : 0;
    if (!order_) {
        form_.pop_to_first();
        return;
    }
    close();
    form_.pop_panel();
}

void panel_work_bill::close() {
    controller* ctl = controller::instance();
    if (!ctl || !order_) {
        return;
    }
    if (closing_) {
        log(logger::warning, L"panel_work_bill::close: a close is on its way already");
        return;
    }
    manager_2& form = form_;
    const bool sent = ctl->closing().begin(*order_, discount_answer_, [this, &form](order_close::outcome result) {
        form.post_to_ui([this, result] { on_close_over(result); });
    });
    if (sent) {
        closing_ = order_->s_id;
        form_.lock();
    }
}

void panel_work_bill::on_close_over(order_close::outcome result) {
    if (!closing_) {
        return;
    }
    if (result == order_close::outcome::accepted) {
        // The server said yes and has not removed the order yet: its "odel" may follow in a later packet. The
        // status strip unlocks once for the result (this call comes just before it), so the GUI stays locked
        // until the close is over.
        if (settle_timer_ == -1) {
            form_.lock();
            settle_timer_ = form_.set_timer(settle_seconds, [this] {
                stop_settle_timer();
                if (controller* ctl = controller::instance()) {
                    ctl->closing().settle();
                }
            });
        }
        return;
    }
    const std::wstring closed = *closing_;
    closing_.reset();
    const bool waited = settle_timer_ != -1;
    stop_settle_timer();
    if (result == order_close::outcome::lost) {
        // The manager unlocks on the lost link; the bill stays for another try.
        if (waited) {
            form_.unlock();
        }
        return;
    }
    form_.unlock();
    controller* ctl = controller::instance();
    if (result == order_close::outcome::refused && ctl && ctl->find_order(order::list_current, closed)) {
        return;
    }
    if (form_.top_panel().id == id) {
        leave();
    } else if (form_.has_panel(id)) {
        leave_on_show_ = true;
    }
}

void panel_work_bill::stop_settle_timer() {
    if (settle_timer_ != -1) {
        form_.kill_timer(settle_timer_);
        settle_timer_ = -1;
    }
}

void panel_work_bill::leave() {
    left_ = true;
    controller* ctl = controller::instance();
    auto current = ctl ? ctl->get_current_order() : nullptr;
    // An order closed but still listed (its removal never came) no longer counts as the driver's.
    if (!ctl || (current && (!order_ || current->s_id != order_->s_id))) {
        form_.pop_to_first();
        return;
    }
    auto session = ctl->get_session_param();
    if (session && session->area_id) {
        if (*session->area_id == 0) {
            form_.pop_to_first_quiet();
            form_.push_panel(panel_ids::area_list, make_number_param(0));
            return;
        }
        if (ctl->get_area_type(*session->area_id) == zel_api::command::area_type::district) {
            form_.pop_to_first_quiet();
            form_.push_panel(panel_ids::park_list, make_number_param(*session->area_id));
            return;
        }
    }
    form_.pop_to_first();
}

// --- commands

void panel_work_bill::on_command(const zel_api::update_mask& mask) {
    controller* ctl = controller::instance();
    if (!ctl) {
        return;
    }
    // The close's own result reaches on_close_over, whichever panel is current; the order gone by another way
    // (the dispatcher removed it) leaves the bill by its own route. A removal in the close's own answer finds
    // the bill left already (the close's end comes just before the answer's packet): one way out only.
    if (mask.test(zel_api::key::odel) && !closing_ && !left_ && !ctl->get_current_order()) {
        leave_removed();
    }
}

void panel_work_bill::leave_removed() {
    left_ = true;
    controller* ctl = controller::instance();
    auto session = ctl ? ctl->get_session_param() : nullptr;
    if (!session) {
        form_.pop_to_first();
        return;
    }
    if (!session->area_id || *session->area_id == 0) {
        form_.pop_to_first_quiet();
        form_.push_panel(panel_ids::area_list, make_number_param(0));
        return;
    }
    const auto area = ctl->find_area(*session->area_id);
    if (!area || area->t == zel_api::command::area_type::parking) {
        form_.pop_to_first();
        return;
    }
    form_.pop_to_first_quiet();
    if (area->t == zel_api::command::area_type::district) {
        form_.push_panel(panel_ids::park_list, make_number_param(*session->area_id));
    } else {
        form_.push_panel(panel_ids::area_list, make_number_param(0));
    }
}

} // namespace zel::form
