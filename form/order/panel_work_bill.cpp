// Sections: layout | show and hide | paint | finish and close | commands.
#include "form/order/panel_work_bill.h"

#include <cstdio>

#include "api/bill_record.h"
#include "api/command/sent/close_order.h"
#include "controller/controller.h"
#include "form/dialog_request.h"
#include "form/drawing.h"
#include "form/font_holder.h"
#include "form/frame_image_button.h"
#include "form/graphics.h"
#include "form/image.h"
#include "form/manager_2.h"
#include "form/order/bill_money.h"
#include "form/panel_param.h"
#include "form/segmented_button.h"
#include "form/skin_images.h"
#include "foundation/app_paths.h"
#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/tariff_params.h"
#include "gps/taximeter/taximeter.h"
#include "gps/trip_data_file.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;
using zel_api::command::close_order;
using zel_api::command::trip_detail;

namespace {

constexpr rgb text_grey{73, 73, 73};

int cut(double v) {
    return static_cast<int>(v);
}

std::wstring format1(float v) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%.1f", static_cast<double>(v));
    return text;
}

} // namespace

panel_work_bill::panel_work_bill(manager_2& form) : form_(form) {}

panel_work_bill::~panel_work_bill() {
    release();
}

rect panel_work_bill::sheet_area() const {
    return own_rect();
}

void panel_work_bill::place_buttons(int bw, int bh) {
    const rect& R = own_rect();
    const int y = R.y + R.h - bh / 10 - bh;
    back_ = std::make_unique<frame_image_button>(
        &form_, rect{R.x + R.w / 4 - bw / 2, y, bw, bh - bh / 10}, [this] { go_back(); }, back_image_, L"Назад");
    finish_ = std::make_unique<frame_image_button>(
        &form_, rect{R.x + 3 * (R.w / 4) - bw / 2, y, bw, bh - bh / 10}, [this] { on_finish(); }, finish_image_,
        L"Завершить заказ");
}

void panel_work_bill::paint_columns(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

// --- show and hide

void panel_work_bill::show(const panel_param*) {
    const float s = form_.get_scale();
    const skin_images* skin = form_.get_skin_images();
    back_image_ = skin_images::image_of(skin, 1048);
    finish_image_ = skin_images::image_of(skin, 1055);
    for (int i = 0; i < 7; ++i) {
        sheet_[i] = skin_images::image_of(skin, 2174 + i);
    }
    const int bh = cut(117 * s);
    const int bw = cut(220 * s);
    place_buttons(bw, bh);
    add_control(back_.get(), 1);
    add_control(finish_.get(), 1);

    const rect A = sheet_area();
    const int sheet_h = cut(380 * s);
    sheet_[2]->resize(sheet_[2]->width(), sheet_h - sheet_[5]->height() - sheet_[0]->height());
    const double tw = sheet_[2]->width();
    const double ty = 26 * s + A.y;
    const double tx = A.x + A.w / 2 - sheet_[2]->width() / 2;
    auto R = [&](double x, double y, double w, double h) { return rect{cut(x), cut(y), cut(w), cut(h)}; };
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
    edit_ = std::make_unique<segmented_button>(
        &form_, rect{total_r_.x - cut(49 * s), total_r_.y, total_r_.w + cut(57 * s), total_r_.h},
        [this] { on_edit_params(); });
    edit_->set_visible(false);
    edit_->set_enabled(false);
    add_control(edit_.get(), 1);

    controller* ctl = controller::instance();
    order_ = ctl ? ctl->get_current_order() : nullptr;
    if (!order_) {
        form_.pop_to_first();
        return;
    }
    pickup_ = order_->af.t;
    destination_ = order_->at.empty() ? L"" : order_->at.back().t;
    if (auto bill = ctl->get_bill()) {
        distance_ = static_cast<int>(bill->distance_ref());
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
    back_.reset();
    finish_.reset();
    edit_.reset();
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
    const int top = A.y + cut(26 * s);
    centred(3, A.y);
    centred(5, top);
    centred(4, top);
    centred(2, top + sheet_[5]->height());
    centred(0, top + sheet_[5]->height() + sheet_[2]->height());
    centred(1, A.y + cut(180 * s));
    const int gap_top = pickup_r_.y + pickup_r_.h;
    sheet_[6]->draw(g, pickup_r_.x - sheet_[6]->width() - cut(8 * s),
                    gap_top + (destination_r_.y - gap_top) / 2 - sheet_[6]->height() / 2);

    font_holder bold(cut(28 * s), 700);
    font_holder normal(cut(28 * s), 400);
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
        draw_total(g, total_r_, cashless ? 0.0f : static_cast<float>(total_));
    }
    draw_value(g, distance_r_, format1(static_cast<float>(distance_) * 0.001f), L" КМ");
    draw_value(g, trip_r_, int_to_wstring(trip_seconds_ / 60), L" МИН");
    draw_value(g, downtime_r_, int_to_wstring(downtime_seconds_ / 60), L" МИН");
}

void panel_work_bill::draw_value(Graphics& g, const rect& row, const std::wstring& value,
                                 const std::wstring& unit) const {
    const float s = form_.get_scale();
    font_holder big(cut(28 * s), 700);
    font_holder small(cut(14 * s), 700);
    const size us = text_extent(form_.get_hwnd(), small, unit);
    const size vs = text_extent(form_.get_hwnd(), big, value);
    const int right = row.x + row.w;
    const int bottom = row.y + row.h;
    const rect ur{right - us.width, bottom - cut(4 * s) - us.height, us.width, us.height};
    g.draw_text(small, ur, unit, DT_SINGLELINE | DT_BOTTOM, 1, black);
    g.draw_text(big, rect{ur.x - vs.width, bottom - vs.height, vs.width, vs.height}, value, DT_SINGLELINE | DT_BOTTOM,
                1, black);
}

void panel_work_bill::draw_total(Graphics& g, const rect& r, float value) const {
    const float s = form_.get_scale();
    const std::wstring roubles = int_to_wstring(static_cast<int>(value));
    const std::wstring kopecks = L"." + int_to_wstring(static_cast<int>(value * 100.0) % 100);
    int n = 65;
    for (; n > 0; --n) {
        const int w = text_extent(form_.get_hwnd(), font_holder(cut(n * s), 700), roubles).width +
                      text_extent(form_.get_hwnd(), font_holder(cut((n / 2) * s), 700), kopecks).width;
        if (w <= r.w) {
            break;
        }
    }
    font_holder big(cut(n * s), 700);
    font_holder small(cut((n / 2) * s), 700);
    const size rs = text_extent(form_.get_hwnd(), big, roubles);
    const size ks = text_extent(form_.get_hwnd(), small, kopecks);
    const int right = r.x + r.w;
    const int ry = r.y + (r.h - rs.height) / 2;
    g.draw_text(small, rect{right - ks.width, ry + rs.height - cut(4 * s) - ks.height, ks.width, ks.height}, kopecks,
                DT_SINGLELINE | DT_BOTTOM, 1, black);
    g.draw_text(big, rect{right - ks.width - rs.width, ry, rs.width, rs.height}, roubles, DT_SINGLELINE | DT_BOTTOM, 1,
                black);
}

// --- finish and close

void panel_work_bill::go_back() {
    form_.pop_panel();
}

void panel_work_bill::on_edit_params() {
    form_.push_panel(28, make_number_param(0));
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
        form_.push_panel(
            manager_2::dialog_id,
            std::make_shared<dialog_request>(
                1, L"Клиент воспользовался скидкой: " + int_to_wstring(static_cast<int32_t>(*order_->cts)) + L" р.?",
                [this](int answer) { on_discount_answer(answer); }));
        return;
    }
    close(order_->dct.has_value());
}

void panel_work_bill::on_discount_answer(int answer) {
    discount_answer_ = answer == 1 ? 1 : 0;
    if (!order_) {
        form_.pop_to_first();
        return;
    }
    close(order_->dct.has_value());
    form_.pop_panel();
}

std::unique_ptr<close_order> panel_work_bill::build_close_order_params() const {
    controller* ctl = controller::instance();
    auto bill = ctl->get_bill();
    auto request = std::make_unique<close_order>(bill->order_id(), whole_roubles(bill->total_ref()),
                                                 bill->downtime_seconds_ref() / 60,
                                                 static_cast<int32_t>(bill->distance_ref()), discount_answer_);
    if (!order_->dct) {
        return request;
    }
    auto currency = ctl->get_currency();
    const float precision = currency ? currency->precision() : 0.0f;
    const float total_precision = order_->dct->cp_ref();
    const bool due = bill->taximeter_cost_ref() >= order_->msum.value_or(0.0f);
    const float minutes = static_cast<float>(bill->downtime_seconds_ref() / 60);
    if (due) {
        request->add_cd_detail(trip_detail(L"distance", bill->distance_cost(), 0));
        request->add_cd_detail(trip_detail(L"time", bill->time_cost(), 0));
        request->add_cd_detail(trip_detail(L"downtime", bill->downtime_cost(), minutes));
        request->add_cd_detail(trip_detail(L"prepay", bill->base_price(), 0));
        request->add_cd_detail(trip_detail(L"item-cost-precision", 0, precision));
        request->add_cd_detail(trip_detail(L"total-cost-precision", 0, total_precision));
    }
    request->set_cd_total_cost(bill->total_ref());
    if (order_->cct && due) {
        const auto& c = *order_->cct;
        gps::tariff_params params;
        params.set_base_price(c.p_ref());
        params.set_included_distance(c.pd_ref());
        params.set_included_time(c.pt_ref());
        params.set_price_per_km(c.cdu_ref());
        params.set_price_per_minute(c.ctu_ref());
        params.set_speed_limit(20);
        params.set_time_cost_cap(-1.0f);
        gps::taximeter temporary;
        temporary.set_tariff(&params);
        temporary.start(order_->s_id);
        temporary.recompute();
        const float distance = round_up_to_step(temporary.cost_distance(), precision);
        const float time = round_up_to_step(temporary.cost_time(), precision);
        const float downtime = round_up_to_step(temporary.cost_downtime(), precision);
        const float base = round_up_to_step(temporary.base_price(), precision);
        request->add_ccd_detail(trip_detail(L"distance", distance, 0));
        request->add_ccd_detail(trip_detail(L"time", time, 0));
        request->add_ccd_detail(trip_detail(L"downtime", downtime, minutes));
        request->add_ccd_detail(trip_detail(L"prepay", base, 0));
        request->add_ccd_detail(trip_detail(L"item-cost-precision", 0, precision));
        request->add_ccd_detail(trip_detail(L"total-cost-precision", 0, total_precision));
        request->set_ccd_total_cost(round_up_to_step(base + downtime + time + distance, total_precision));
    }
    request->set_discount(discount_answer_ == 1 ? order_->cts.value_or(0.0f) : 0.0f);
    return request;
}

void panel_work_bill::take_trip() {
    trip_.reset();
    controller* ctl = controller::instance();
    auto bill = ctl->get_bill();
    gps::taximeter* meter = ctl->get_taximeter();
    if (meter && bill && meter->is_running() && meter->order_id() == bill->order_id()) {
        gps::trip_export trip;
        meter->export_trip(trip);
        trip_ = std::move(trip);
    }
}

void panel_work_bill::close(bool long_form) {
    controller* ctl = controller::instance();
    if (!ctl || !ctl->get_bill()) {
        log(logger::warning, L"panel_work_bill::close: no bill stored");
        return;
    }
    auto request = build_close_order_params();
    if (!long_form) {
        auto bill = ctl->get_bill();
        request = std::make_unique<close_order>(bill->order_id(), whole_roubles(bill->total_ref()),
                                                bill->downtime_seconds_ref() / 60,
                                                static_cast<int32_t>(bill->distance_ref()), discount_answer_);
    }
    form_.lock();
    take_trip();
    ctl->send(std::move(request));
}

std::string panel_work_bill::trip_file_stem(const std::wstring& order_id, int64_t seconds) {
    std::string stem;
    for (wchar_t c : order_id) {
        const bool safe =
            (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_';
        stem += safe ? static_cast<char>(c) : '_';
    }
    return stem + "_" + std::to_string(seconds);
}

void panel_work_bill::after_close_order() {
    controller* ctl = controller::instance();
    if (!ctl || ctl->get_current_order()) {
        form_.pop_to_first();
        return;
    }
    auto session = ctl->get_session_param();
    if (session && session->area_id) {
        if (*session->area_id == 0) {
            form_.pop_to_first_quiet();
            form_.push_panel(9, make_number_param(0));
            return;
        }
        if (ctl->get_area_type(*session->area_id) == 2) {
            form_.pop_to_first_quiet();
            form_.push_panel(10, make_number_param(*session->area_id));
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
    if (mask.test(L"cmd-result") && mask.payload() && mask.payload()->cmd_name == L"close-order") {
        if (mask.payload()->ok) {
            if (trip_) {
                const std::string stem = trip_file_stem(trip_->tax_data.order_id, now_seconds());
                if (!gps::write_trip_files(app_file(L"\\order_close_inf"), *trip_, stem)) {
                    log(logger::error, L"panel_work_bill: the ride's data files were not written");
                }
            }
            trip_.reset();
            after_close_order();
        } else {
            trip_.reset();
        }
        form_.unlock();
        return;
    }
    if (mask.test(L"odel") && !ctl->get_current_order()) {
        auto session = ctl->get_session_param();
        if (session && (!session->area_id || *session->area_id == 0)) {
            form_.pop_to_first_quiet();
            form_.push_panel(9, make_number_param(0));
            return;
        }
        auto area = session ? ctl->find_area(*session->area_id) : nullptr;
        if (area && area->t != 1) {
            form_.pop_to_first_quiet();
            if (area->t == 2) {
                form_.push_panel(10, make_number_param(*session->area_id));
            } else {
                form_.push_panel(9, make_number_param(0));
            }
            return;
        }
        form_.pop_to_first();
    }
}

} // namespace zel::form
