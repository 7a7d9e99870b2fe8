// Sections: layout | show and hide | tabs and lists | the tick and the switch | finish | commands.
#include "form/order/panel_work_execute.h"

#include <algorithm>

#include "api/bill_record.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/caption_radio_button.h"
#include "form/controls/image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/list_view.h"
#include "form/controls/radio_group.h"
#include "form/controls/scroll_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/bill_money.h"
#include "form/order/icon_button.h"
#include "form/order/order_figures.h"
#include "form/order/panel_work_bill.h"
#include "form/order/progress_switch.h"
#include "form/order/ride_areas_list.h"
#include "form/order/ride_orders_list.h"
#include "form/order/ride_rows_widget.h"
#include "form/order/take_order_param.h"
#include "form/order/tariff_widget.h"
#include "form/order/taximeter_display.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_param.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/gps_manager.h"
#include "gps/taximeter/taximeter.h"

namespace zel::form {

using controller_::controller;

namespace {

// --- layout numbers (design pixels)

constexpr double display_height = 201.0;
constexpr double switch_inset = 8.0;
constexpr double switch_drop = 4.0;
constexpr double tab_height = 50.0;
constexpr double list_inset = 1.0; // the lists start this far right of the tabs
constexpr double list_gap = 2.0;
constexpr double list_bottom_gap = 4.0;
constexpr double tariff_inset = 15.0;

constexpr int frame_id = 2115;
constexpr int finish_id = 2159;
constexpr int finish_pressed_id = 2160;
constexpr int finish_icon_id = 1056;
constexpr int tab_tariff_id = 7052;
constexpr int tab_on_id = 7047;
constexpr int tab_off_id = 7048;
constexpr int own_tariff_status_id = 7063;

constexpr float good_accuracy = 8.0f;
constexpr uint64_t minimum_sum_flag = 2; // "of": the order's minimum sum is shown until the total passes it

int32_t main_area_id(const controller& ctl) {
    auto session = ctl.get_session_param();
    return session && session->area_id ? static_cast<int32_t>(*session->area_id != 0) : 0;
}

} // namespace

panel_work_execute::panel_work_execute(manager_2& form) : form_(form) {}

panel_work_execute::~panel_work_execute() {
    release();
}

void panel_work_execute::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

// --- layout

panel_work_execute::areas panel_work_execute::layout_areas() const {
    return areas{own_rect(), own_rect(), true};
}

void panel_work_execute::build_controls() {
    const float s = form_.get_scale();
    const areas a = layout_areas();
    const rect& R = a.ride;
    const int top = R.y + scaled(display_height, s);
    const int frame_w = frame_image_->width();
    const int frame_h = frame_image_->height();
    const int switch_w = finish_image_->width();
    const int switch_h = finish_image_->height();

    display_ = &add<taximeter_display>(1, &form_, rect{R.x, R.y, R.w, scaled(display_height, s)});
    add<image_control>(1, &form_, rect{R.x + R.w - frame_w, top, frame_w, frame_h}, frame_image_);
    rows_ = &add<ride_rows_widget>(2, &form_, rect{R.x, top, R.w - frame_w, frame_h});
    const int sx = R.x + R.w - frame_w + scaled(switch_inset, s);
    const int sy = top + scaled(switch_drop, s);
    switch_ = &add<progress_switch>(2, &form_, rect{sx, sy, switch_w, switch_h},
                                    [this](int was_on) { on_taximeter_switch(was_on); });
    finish_ = &add<icon_button>(
        2, &form_, rect{sx + switch_w, sy, switch_w, switch_h}, [this] { finish_ride(); }, finish_image_,
        finish_pressed_, finish_icon_, L"");

    const rect& L0 = a.lists;
    const int T = a.tabs_below_ride ? top + frame_h : L0.y;
    const int th = scaled(tab_height, s);
    const int bottom = L0.y + L0.h;
    tabs_ = std::make_unique<radio_group>();
    tab_tariff_ = &add<caption_radio_button>(
        1, &form_, rect{L0.x, T, L0.w / 2, th}, [this] { on_tab_tariff(); }, tab_image_, tab_image_, L"ТАРИФ",
        tabs_.get());
    const rect second{L0.x + L0.w / 2, T, L0.w / 2, th};
    tab_orders_ = &add<caption_radio_button>(
        1, &form_, second, [this] { on_tab_orders(); }, tab_on_, tab_off_, L"ЗАКАЗЫ", tabs_.get());
    tab_areas_ = &add<caption_radio_button>(
        1, &form_, second, [this] { on_tab_areas(); }, tab_on_, tab_off_, L"РАЙОНЫ", tabs_.get());
    tab_areas_->set_visible(false);
    tab_areas_->set_enabled(false);

    const rect L{L0.x + scaled(list_inset, s), T + th + scaled(list_gap, s), L0.w,
                 bottom - (T + th) - scaled(list_bottom_gap, s)};
    areas_source_ = std::make_unique<ride_areas_list>(&form_, L0.w, [this](int row) { on_area_click(row); });
    orders_source_ = std::make_unique<ride_orders_list>(&form_, L0.w, [this](int row) { on_order_click(row); });
    areas_view_ = &add<list_view>(1, &form_, L);
    areas_view_->set_source(areas_source_.get());
    orders_view_ = &add<list_view>(1, &form_, L);
    orders_view_->set_source(orders_source_.get());
    for (list_view* v : {areas_view_, orders_view_}) {
        v->set_visible(false);
        v->set_enabled(false);
    }
    const int aw = up_image_->width();
    const int ah = up_image_->height();
    up_ = &add<image_button>(
        2, &form_, rect{L.x + L.w - aw, L.y, aw, ah}, [this] { on_scroll_up(); }, up_image_, up_pressed_);
    down_ = &add<image_button>(
        2, &form_, rect{L.x + L.w - aw, L.y + L.h - ah, aw, ah}, [this] { on_scroll_down(); }, down_image_,
        down_pressed_);
    const int vw = L0.w - 2 * scaled(tariff_inset, s);
    view_ = &add<scroll_view>(1, &form_, rect{L0.x + scaled(tariff_inset, s), T + th, vw, bottom - (T + th)});
    tariff_ = std::make_unique<tariff_widget>(&form_, rect{0, 0, vw, bottom - (T + th)}, tariff_widget::kind_plain);
    view_->add(tariff_.get());
    view_->set_visible(true);
}

// --- show and hide

void panel_work_execute::show(const panel_param*) {
    const skin_images* skin = form_.get_skin_images();
    auto image = [skin](int id) { return skin_images::image_of(skin, id); };
    frame_image_ = image(frame_id);
    finish_image_ = image(finish_id);
    finish_pressed_ = image(finish_pressed_id);
    finish_icon_ = image(finish_icon_id);
    tab_image_ = image(tab_tariff_id);
    tab_on_ = image(tab_on_id);
    tab_off_ = image(tab_off_id);
    up_image_ = image(arrow_up_image);
    up_pressed_ = image(arrow_up_pressed_image);
    down_image_ = image(arrow_down_image);
    down_pressed_ = image(arrow_down_pressed_image);
    build_controls();

    tab_tariff_->set_checked(true);
    update_orders_tab_caption();
    refresh_lists();
    areas_view_->reset_first_row();
    orders_view_->reset_first_row();
    timer_ = form_.set_timer(1, [this] { taximeter_view_text(); });

    controller* ctl = controller::instance();
    auto order = ctl ? ctl->get_current_order() : nullptr;
    if (order) {
        fill_tariff();
        taximeter_view_text();
    }
}

void panel_work_execute::fill_tariff() {
    controller* ctl = controller::instance();
    auto order = ctl ? ctl->get_current_order() : nullptr;
    if (!order) {
        return;
    }
    if (!order->dct) {
        status_image_ = skin_images::image_of(form_.get_skin_images(), status_image_id(order->st.value_or(0)));
        tab_tariff_->set_subcaption(L"");
    } else {
        status_image_ = skin_images::image_of(form_.get_skin_images(), own_tariff_status_id);
        tab_tariff_->set_subcaption(order->dct->n_ref());
    }
    tab_tariff_->set_on_image(status_image_);
    tab_tariff_->set_off_image(status_image_);
    form_.invalidate_rect(tab_tariff_->get_rect_c());

    if (order->dct) {
        const auto& t = *order->dct;
        tariff_->set_base_price(t.p_ref());
        tariff_->set_included_km(t.pd_ref());
        tariff_->set_included_minutes(t.pt_ref());
        tariff_->set_price_per_km(t.cdu_ref());
        tariff_->set_price_per_minute(t.ctu_ref());
        tariff_->set_price_per_waiting_minute(t.cdtu_ref());
        tariff_->set_purchase_percent(order->dt ? static_cast<float>(order->dt->p) : 0.0f);
        tariff_->set_purchase_minimum(order->dt ? static_cast<float>(order->dt->mc) : 0.0f);
    } else if (auto t = ctl->get_tariff(order->s_tid)) {
        if (t->pp) {
            tariff_->set_base_price(*t->pp);
        }
        if (t->pp_dist) {
            tariff_->set_included_km(static_cast<float>(*t->pp_dist));
        }
        if (t->pp_time) {
            tariff_->set_included_minutes(static_cast<float>(*t->pp_time));
        }
        if (t->btax_dist) {
            tariff_->set_price_per_km(*t->btax_dist);
        }
        if (t->btax_time) {
            tariff_->set_price_per_minute(*t->btax_time);
            tariff_->set_price_per_waiting_minute(*t->btax_time);
        }
    }
    update_tariff_scroll_buttons();
}

void panel_work_execute::hide() {
    if (timer_ != -1) {
        form_.kill_timer(timer_);
        timer_ = -1;
    }
    release();
}

void panel_work_execute::release() {
    // The controls are the panel base's, destroyed by the clear that follows hide; nothing paints or reads the
    // views in between, so the sources and the tariff they point at may go first.
    display_ = nullptr;
    rows_ = nullptr;
    switch_ = nullptr;
    finish_ = nullptr;
    tab_tariff_ = nullptr;
    tab_orders_ = nullptr;
    tab_areas_ = nullptr;
    areas_view_ = nullptr;
    orders_view_ = nullptr;
    up_ = nullptr;
    down_ = nullptr;
    view_ = nullptr;
    tariff_.reset();
    areas_source_.reset();
    orders_source_.reset();
    tabs_.reset();
    for (picture* p : {&frame_image_, &finish_image_, &finish_pressed_, &finish_icon_, &tab_image_, &tab_on_, &tab_off_,
                       &up_image_, &up_pressed_, &down_image_, &down_pressed_, &status_image_}) {
        p->reset();
    }
}

int panel_work_execute::status_image_id(int32_t st) {
    // The ride shows the plain class for one outside the table.
    const int id = order_class_image(st);
    return id ? id : 7055;
}

// --- tabs and lists

void panel_work_execute::on_tab_tariff() {
    if (!view_) {
        return;
    }
    view_->set_visible(true);
    for (control* c : std::initializer_list<control*>{areas_view_, orders_view_}) {
        c->set_enabled(false);
        c->set_visible(false);
    }
    update_tariff_scroll_buttons();
    form_.invalidate_rect(own_rect());
}

// A tariff taller than its view (the last line cut at the screen's bottom) could not be read to its end: the
// scroll buttons show while there is more of it above or below.
void panel_work_execute::update_tariff_scroll_buttons() {
    if (!view_ || !tab_tariff_->is_checked()) {
        return;
    }
    view_->show_scroll_buttons(*up_, *down_);
}

void panel_work_execute::on_scroll_up() {
    if (view_ && tab_tariff_->is_checked()) {
        view_->scroll_up();
        update_tariff_scroll_buttons();
        return;
    }
    on_key_up_arrow();
}

void panel_work_execute::on_scroll_down() {
    if (view_ && tab_tariff_->is_checked()) {
        view_->scroll_down();
        update_tariff_scroll_buttons();
        return;
    }
    on_key_down_arrow();
}

void panel_work_execute::on_tab_orders() {
    if (!view_) {
        return;
    }
    for (control* c : std::initializer_list<control*>{orders_view_, up_, down_}) {
        c->set_enabled(true);
        c->set_visible(true);
    }
    areas_view_->set_enabled(false);
    areas_view_->set_visible(false);
    view_->set_visible(false);
    form_.invalidate_rect(own_rect());
}

void panel_work_execute::on_tab_areas() {
    if (!view_) {
        return;
    }
    for (control* c : std::initializer_list<control*>{areas_view_, up_, down_}) {
        c->set_enabled(true);
        c->set_visible(true);
    }
    orders_view_->set_enabled(false);
    orders_view_->set_visible(false);
    view_->set_visible(false);
    form_.invalidate_rect(own_rect());
}

void panel_work_execute::on_key_up_arrow() {
    if (areas_view_) {
        areas_view_->scroll_up();
        orders_view_->scroll_up();
    }
}

void panel_work_execute::on_key_down_arrow() {
    if (areas_view_) {
        areas_view_->scroll_down();
        orders_view_->scroll_down();
    }
}

void panel_work_execute::update_orders_tab_caption() {
    controller* ctl = controller::instance();
    if (!ctl || !tab_orders_) {
        return;
    }
    if (ctl->any_order_3_flag_clear()) {
        orders_kind_ = 3;
        orders_source_->set_rows(ctl->get_orders_3());
        tab_orders_->set_caption(L"МОИ ЗАКАЗЫ");
    } else {
        orders_kind_ = 1;
        orders_source_->set_rows(ctl->get_orders_1());
        tab_orders_->set_caption(L"ЗАКАЗЫ");
    }
    form_.invalidate_rect(tab_orders_->get_rect_c());
    areas_source_->set_rows(ctl->get_type2_areas());
    form_.invalidate_rect(orders_view_->get_rect_c());
}

void panel_work_execute::refresh_lists() {
    controller* ctl = controller::instance();
    if (!ctl || !tab_orders_) {
        return;
    }
    const bool parked = main_area_id(*ctl) != 0;
    const bool tariff_open = tab_tariff_->is_checked();
    tab_areas_->set_visible(!parked);
    tab_areas_->set_enabled(!parked);
    tab_orders_->set_visible(parked);
    tab_orders_->set_enabled(parked);
    if (!tariff_open) {
        areas_view_->set_visible(!parked);
        areas_view_->set_enabled(!parked);
        orders_view_->set_visible(parked);
        orders_view_->set_enabled(parked);
        view_->set_visible(false);
    }
    if (areas_view_->is_visible() && !tab_areas_->is_checked()) {
        tab_areas_->set_checked(true);
    }
    if (orders_view_->is_visible() && !tab_orders_->is_checked()) {
        tab_orders_->set_checked(true);
    }
    form_.invalidate_rect(own_rect());
}

void panel_work_execute::on_area_click(int row) {
    controller* ctl = controller::instance();
    if (!ctl || !areas_source_) {
        return;
    }
    // The area this row drew, not the store's list read anew: that list may have changed or emptied since.
    const auto& rows = areas_source_->areas();
    if (row < 0 || static_cast<size_t>(row) >= rows.size() || !rows[row]) {
        log(logger::warning, L"panel_work_execute::on_area_click: no area at row " + int_to_wstring(row));
        return;
    }
    form_.lock();
    ctl->set_parking(rows[row]->id);
}

void panel_work_execute::on_order_click(int row) {
    if (!orders_source_) {
        return;
    }
    const auto& rows = orders_source_->orders();
    if (row < 0 || static_cast<size_t>(row) >= rows.size() || !rows[row]) {
        log(logger::warning, L"panel_work_execute::on_order_click: no order at row " + int_to_wstring(row));
        return;
    }
    form_.push_panel(panel_ids::take_order, make_take_order_param(orders_kind_, rows[row]->s_id));
}

// --- the tick and the switch

void panel_work_execute::taximeter_view_text() {
    controller* ctl = controller::instance();
    gps::taximeter* meter = ctl ? ctl->get_taximeter() : nullptr;
    if (!meter || !display_) {
        return;
    }
    // A stopped taximeter keeps the start of its last ride: it measures nothing, so its clock reads 0.
    const uint64_t t = meter->is_running() ? meter->elapsed_seconds() : 0;
    rows_->set_distance(meter->distance() * 0.001f);
    rows_->set_time(static_cast<int>(t / 3600), static_cast<int>((t % 3600) / 60), static_cast<int>(t % 60));

    const float total = meter->cost_total();
    float shown = total;
    if (auto order = ctl->get_current_order()) {
        const float msum = order->msum.value_or(0.0f);
        if ((order->of.value_or(0) & minimum_sum_flag) != 0 && msum > total) {
            shown = msum;
        }
        display_->set_cashless(order->icl.value_or(0) == 1);
    }
    display_->set_sum(shown);
    display_->set_gps_ok(gps::gps_manager::instance().last_location().accuracy < good_accuracy);

    switch_->set_value(static_cast<int>(meter->open_downtime_seconds()));
    if (!meter->in_downtime() && switch_->is_on()) {
        switch_->turn_off();
    }
    const auto [elapsed, paid_from] = meter->downtime_window();
    switch_->set_progress(paid_from != 0 ? static_cast<float>(elapsed) / static_cast<float>(paid_from) : 0.0f);
}

void panel_work_execute::on_taximeter_switch(int was_on) {
    controller* ctl = controller::instance();
    gps::taximeter* meter = ctl ? ctl->get_taximeter() : nullptr;
    if (!meter || !meter->is_running()) {
        // No ride is measured, so no waiting is counted: the switch, which flips once this call returns, goes
        // back off right after.
        form_.post_to_ui([this] {
            if (switch_) {
                switch_->turn_off();
            }
        });
        return;
    }
    if (was_on) {
        meter->end_downtime();
        switch_->set_value(0);
        switch_->set_progress(0.0f);
    } else {
        meter->begin_downtime();
    }
}

// --- finish

void panel_work_execute::finish_ride() {
    controller* ctl = controller::instance();
    auto order = ctl ? ctl->get_current_order() : nullptr;
    gps::taximeter* meter = ctl ? ctl->get_taximeter() : nullptr;
    if (!order || !meter) {
        return;
    }
    // A second tap before the bill is shown would push it again.
    if (form_.top_panel().id == panel_work_bill::id) {
        return;
    }
    auto bill = std::make_shared<zel_api::bill_record>(order->s_id);
    bill->set_tariff_mode(order->icl.value_or(0) == 1 ? 1 : 3);
    bill->set_distance(meter->distance());
    bill->set_trip_seconds(static_cast<int32_t>(meter->seconds_since_start()));
    bill->set_downtime_seconds(static_cast<int32_t>(meter->downtime_seconds()));

    auto currency = ctl->get_currency();
    const float p = currency ? currency->precision() : 0.0f;
    const float distance_cost = round_up_to_step(meter->cost_distance(), p);
    const float time_cost = round_up_to_step(meter->cost_time(), p);
    const float downtime_cost = round_up_to_step(meter->cost_downtime(), p);
    const float base = round_up_to_step(meter->base_price(), p);
    bill->set_distance_cost(distance_cost);
    bill->set_time_cost(time_cost);
    bill->set_downtime_cost(downtime_cost);
    bill->set_base_price(base);

    float sum = base + downtime_cost + time_cost + distance_cost;
    if (order->dct) {
        sum = round_up_to_step(sum, order->dct->cp_ref());
    }
    int32_t rule = 0;
    if (auto tariff = ctl->get_tariff(order->s_tid)) {
        rule = fare_rule_max(tariff->min_sum_prio.value_or(0), whole_roubles(order->msum.value_or(0.0f)),
                             whole_roubles(tariff->pp.value_or(0.0f)), whole_roubles(sum));
    }
    bill->set_total(std::max(sum, static_cast<float>(rule)));
    bill->set_taximeter_cost(round_up_to_step(meter->cost_total(), p));
    ctl->set_bill(bill);
    form_.push_panel(panel_work_bill::id, make_number_param(0));
}

// --- commands

void panel_work_execute::on_command(const zel_api::update_mask& mask) {
    controller* ctl = controller::instance();
    if (!ctl || !tab_orders_) {
        return;
    }
    if (mask.test(zel_api::key::odel) && !ctl->get_current_order()) {
        auto session = ctl->get_session_param();
        if (!session || (session->area_id && *session->area_id != 0)) {
            form_.pop_to_first();
        } else {
            form_.pop_to_first_quiet();
            form_.push_panel(panel_ids::area_list, make_number_param(0));
        }
        return;
    }
    if (mask.result_of(zel_api::key::set_parking)) {
        form_.unlock();
    }
    if (mask.test(zel_api::key::order)) {
        update_orders_tab_caption();
        orders_source_->clear_map();
    }
    if (mask.test(zel_api::key::session_param)) {
        refresh_lists();
        areas_source_->clear_map();
    }
    if (mask.test(zel_api::key::odel)) {
        update_orders_tab_caption();
        orders_source_->clear_map();
    }
}

} // namespace zel::form
