// Sections: pictures and layout numbers | show and hide | order text | button rule and tariff values |
// commands | callbacks.
#include "form/order/panel_take_order.h"

#include <cmath>

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/caption_radio_button.h"
#include "form/controls/elapsed_time_box.h"
#include "form/controls/frame_image_button.h"
#include "form/controls/image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/line_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/radio_group.h"
#include "form/controls/scroll_view.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/order_figures.h"
#include "form/order/order_summary.h"
#include "form/order/take_order_param.h"
#include "form/order/tariff_widget.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

using controller_::controller;
using order_record = zel_api::command::order;

namespace {

// --- pictures and layout numbers

constexpr int class_icon = 7014;
constexpr int time_box_image = 7025;
constexpr int star_image = 7013;
constexpr int back_image = 1048;
constexpr int take_image = 1050;
constexpr int parking_image = 1057;
constexpr int own_rates_tab = 7063;
constexpr int first_tariff_tab = 7052;
constexpr int order_tab_checked = 7047;
constexpr int order_tab_unchecked = 7048;

constexpr int image_ids[] = {class_icon,
                             time_box_image,
                             order_badge_images[static_cast<size_t>(order_badge::cashless)],
                             order_badge_images[static_cast<size_t>(order_badge::trade)],
                             order_badge_images[static_cast<size_t>(order_badge::option)],
                             order_badge_images[static_cast<size_t>(order_badge::osid5)],
                             star_image,
                             back_image,
                             take_image,
                             parking_image,
                             arrow_up_image,
                             arrow_up_pressed_image,
                             arrow_down_image,
                             arrow_down_pressed_image,
                             own_rates_tab,
                             first_tariff_tab,
                             order_tab_checked,
                             order_tab_unchecked};

// Design lengths, times the scale and truncated.
constexpr double tab_height = 50;
constexpr int content_inset = 6;

constexpr rgb background{23, 27, 34};

constexpr int preliminary = 1;
constexpr int kind_second_list = 2;
constexpr int kind_own_orders = 3;

} // namespace

panel_take_order::panel_take_order(manager_2& form) : form_(form) {
    log(logger::info, L"panel_take_order::panel_take_order");
}

panel_take_order::~panel_take_order() = default;

int panel_take_order::class_image(const order_record& o) {
    return o.st ? order_class_image(*o.st) : 0;
}

std::shared_ptr<Image> panel_take_order::image(int image_id) const {
    const auto it = images_.find(image_id);
    return it == images_.end() ? std::make_shared<Image>() : it->second;
}

panel_take_order::layout panel_take_order::place() const {
    const float s = form_.get_scale();
    const int X = own_.x, Y = own_.y, W = own_.w, H = own_.h;
    const int th = scaled(tab_height, s);
    const int bh = scaled(action_button_height, s);
    const int bw = scaled(action_button_width, s);
    const int g = bh / 10;
    const int B = Y + H - g - bh;
    layout l;
    l.order_tab = {X, Y, W / 2, th};
    l.tariff_tab = {X + W / 2, Y, W / 2, th};
    l.back = {X + W / 4 - bw / 2, B, bw, bh - g};
    l.take = {X + 3 * (W / 4) - bw / 2, B, bw, bh - g};
    l.content = {X + content_inset, Y + th, W - 2 * content_inset, H - 2 * g - bh - th};
    // Height 1: each line steps down one pixel half way across, as laid out.
    l.dark_line = {X, l.content.y + l.content.h, W, 1};
    l.light_line = {X, l.content.y + l.content.h + 1, W, 1};
    l.line_layer = 1;
    return l;
}

void panel_take_order::paint_background(Graphics& g, const rect& update) {
    g.fill_rect(update, brush_holder(background));
}

// --- show and hide

void panel_take_order::show(const panel_param* param) {
    const skin_images* skin = form_.get_skin_images();
    for (int image_id : image_ids) {
        images_[image_id] = skin_images::image_of(skin, image_id);
    }
    const layout l = place();

    tabs_ = std::make_unique<radio_group>();
    order_tab_ = &add<caption_radio_button>(
        1, &form_, l.order_tab, [this] { on_tab_order(); }, image(order_tab_checked), image(order_tab_unchecked),
        L"ЗАКАЗ", tabs_.get());
    tariff_tab_ = &add<caption_radio_button>(
        1, &form_, l.tariff_tab, [this] { on_tab_tariff(); }, image(first_tariff_tab), image(first_tariff_tab),
        L"ТАРИФ", tabs_.get());

    back_ = &add<frame_image_button>(
        1, &form_, l.back, [this] { on_back_button(); }, image(back_image), L"Назад");
    take_ = &add<frame_image_button>(
        1, &form_, l.take, [this] { on_take_order(); }, image(take_image), L"Взять заказ");
    parking_ = &add<frame_image_button>(
        1, &form_, l.take, [this] { on_parking(); }, image(parking_image), L"Парковка");

    order_view_ = &add<scroll_view>(1, &form_, l.content);
    tariff_view_ = &add<scroll_view>(1, &form_, l.content);
    tariff_view_->set_visible(false);

    add<line_control>(l.line_layer, &form_, l.dark_line, rule_dark);
    add<line_control>(l.line_layer, &form_, l.light_line, rule_light);

    build_order_view(l);

    const int cw = l.content.w;
    const int aw = image(arrow_up_image)->width();
    const int ah = image(arrow_up_image)->height();
    scroll_up_ = &add<image_button>(
        2, &form_, rect{l.content.x + cw - aw, l.content.y, aw, ah}, [this] { on_scroll_up(); }, image(arrow_up_image),
        image(arrow_up_pressed_image));
    scroll_down_ = &add<image_button>(
        2, &form_, rect{l.content.x + cw - aw, l.content.y + l.content.h - ah, aw, ah}, [this] { on_scroll_down(); },
        image(arrow_down_image), image(arrow_down_pressed_image));

    tariff_ = std::make_unique<tariff_widget>(&form_, rect{0, 0, cw, l.content.h}, tariff_widget::kind_purchase);
    tariff_view_->add(tariff_.get());

    const auto* wanted = param_as<take_order_param>(param);
    if (!wanted) {
        log(logger::warning, L"panel_take_order::show: no order named; the panel leaves");
    }
    list_kind_ = wanted ? wanted->list_kind : 0;
    order_id_ = wanted ? wanted->order_id : L"";
    const controller* c = controller::instance();
    order_ = wanted && c ? c->find_order(list_kind_, order_id_) : nullptr;
    order_text();
}

// The badges and the stars at the top right, the time box at the left, the summary's column below them.
void panel_take_order::build_order_view(const layout& l) {
    const int cw = l.content.w;
    auto make_picture = [&](picture_part part, int image_id, const rect& r) {
        auto& made = head_pictures_[static_cast<size_t>(part)];
        made = std::make_unique<image_control>(&form_, r, image(image_id));
        order_view_->add(made.get());
    };
    auto size_of = [this](int image_id) {
        const auto picture = image(image_id);
        return size{picture->width(), picture->height()};
    };
    auto badge_image = [](order_badge b) { return order_badge_images[static_cast<size_t>(b)]; };
    const size icl = size_of(badge_image(order_badge::cashless));
    const size star = size_of(star_image);
    const size time = size_of(time_box_image);

    make_picture(picture_part::icl, badge_image(order_badge::cashless), {cw - icl.width, 0, icl.width, icl.height});
    const size trade = size_of(badge_image(order_badge::trade));
    make_picture(picture_part::trade, badge_image(order_badge::trade),
                 {cw - trade.width, 0, trade.width, trade.height});
    const size of = size_of(badge_image(order_badge::option));
    make_picture(picture_part::of, badge_image(order_badge::option), {cw - of.width, 0, of.width, of.height});
    // The "osid" badge stands where the trade badge does.
    make_picture(picture_part::osid, badge_image(order_badge::osid5), {cw - trade.width, 0, trade.width, trade.height});
    const int x1 = cw - icl.width - star.width;
    make_picture(picture_part::star1, star_image, {x1, star.height / 2, star.width, star.height});
    make_picture(picture_part::star2, star_image, {x1 - star.width, star.height / 2, star.width, star.height});
    make_picture(picture_part::star3, star_image, {x1 - 2 * star.width, star.height / 2, star.width, star.height});

    time_box_ =
        std::make_unique<elapsed_time_box>(&form_, rect{0, star.height - time.height / 2, time.width, time.height});
    order_view_->add(time_box_.get());

    // The column starts under the time box, shown or not. The distance figure stands the content's left edge
    // away from " км.".
    const rect& box = time_box_->get_rect();
    order_summary_rules rules;
    rules.distance = order_summary_rules::distance_rule::when_above_zero;
    rules.figure_gap = l.content.x;
    summary_ =
        std::make_unique<order_summary<multiline_text>>(form_, *order_view_, rect{0, box.y + box.h, cw, 0}, rules);
}

image_control* panel_take_order::picture(picture_part part) const {
    if (!summary_) {
        return nullptr;
    }
    switch (part) {
    case picture_part::distance:
        return &summary_->pin();
    case picture_part::divider:
        return &summary_->divider();
    case picture_part::count:
        return nullptr;
    default:
        return head_pictures_[static_cast<size_t>(part)].get();
    }
}

multiline_text* panel_take_order::text(text_part part) const {
    if (!summary_) {
        return nullptr;
    }
    switch (part) {
    case text_part::pickup_address:
        return &summary_->pickup();
    case text_part::pickup_note:
        return &summary_->pickup_note();
    case text_part::information:
        return &summary_->information();
    case text_part::minimum_sum:
        return &summary_->sum();
    case text_part::rouble_sign:
        return &summary_->sum_unit();
    case text_part::kilometre_sign:
        return &summary_->distance_unit();
    case text_part::distance:
        return &summary_->distance();
    case text_part::destinations:
        return &summary_->destinations();
    case text_part::count:
        break;
    }
    return nullptr;
}

void panel_take_order::hide() {
    // Covered or left while waiting for the taken order: the wait ends here, with its lock.
    if (awaiting_order()) {
        stop_wait();
        form_.unlock();
    }
    // The views' children first: the views, gone at the clear, only point at them.
    tariff_.reset();
    summary_.reset();
    time_box_.reset();
    for (auto& picture : head_pictures_) {
        picture.reset();
    }
    order_tab_ = nullptr;
    tariff_tab_ = nullptr;
    back_ = nullptr;
    take_ = nullptr;
    parking_ = nullptr;
    order_view_ = nullptr;
    tariff_view_ = nullptr;
    scroll_up_ = nullptr;
    scroll_down_ = nullptr;
    tabs_.reset();
    images_.clear();
}

// --- order text

void panel_take_order::order_text() {
    if (!order_view_) {
        return;
    }
    if (!order_) {
        form_.pop_panel();
        return;
    }
    const order_record& o = *order_;
    tariff_tab_->set_enabled(o.dct.has_value());
    if (!order_tab_->is_checked() && !tariff_tab_->is_checked()) {
        order_tab_->set_checked(true);
    }
    compose_head(o);
    compose_icons(o);
    summary_->fill(o);
    apply_button_rule();
    apply_tariff_values(o);
    update_scroll_buttons();
    // The view's children repaint their own rectangles, which are in the view's frame, not the screen's.
    form_.invalidate_rect(own_);
}

void panel_take_order::compose_head(const order_record& o) {
    for (auto* star : {&icon(picture_part::star1), &icon(picture_part::star2), &icon(picture_part::star3)}) {
        star->set_visible(false);
    }
    if (o.star) {
        icon(picture_part::star3).set_visible(*o.star > 2);
        icon(picture_part::star2).set_visible(*o.star > 1);
        icon(picture_part::star1).set_visible(*o.star > 0);
    }
    if (o.dct) {
        tariff_tab_->set_on_image(image(own_rates_tab));
        tariff_tab_->set_off_image(image(own_rates_tab));
        tariff_tab_->set_subcaption(o.dct->n_ref());
    } else {
        const int class_id = class_image(o);
        const auto picture = class_id ? skin_images::image_of(form_.get_skin_images(), class_id) : nullptr;
        tariff_tab_->set_on_image(picture);
        tariff_tab_->set_off_image(picture);
        tariff_tab_->set_subcaption(L"");
    }

    if (o.st) {
        const controller* c = controller::instance();
        const auto clock = c ? c->get_server_clock() : nullptr;
        if (o.ttp && *o.ttp == preliminary && o.tt && clock) {
            time_box_->set_visible(true);
            time_box_->set_times(*o.tt, clock->server_now(), clock->server_seconds());
        } else {
            time_box_->set_visible(false);
        }
    }
}

void panel_take_order::compose_icons(const order_record& o) {
    const auto shown = order_badges_shown(o);
    auto badge = [&](order_badge b) { return shown[static_cast<size_t>(b)]; };
    icon(picture_part::of).set_visible(badge(order_badge::option));
    icon(picture_part::trade).set_visible(badge(order_badge::trade));
    icon(picture_part::icl).set_visible(badge(order_badge::cashless));
    icon(picture_part::osid).set_visible(badge(order_badge::osid5));
}

// --- button rule and tariff values

void panel_take_order::apply_button_rule() {
    const controller* c = controller::instance();
    const auto session = c ? c->get_session_param() : nullptr;
    if (!session) {
        // Both buttons stand where they were made, "Парковка" drawn over "Взять заказ"; the pen reached the one
        // under it and sent "set-driver" for a tap on "Парковка". Only the one drawn stays.
        take_->set_visible(false);
        return;
    }
    const bool parked = session->area_id && *session->area_id != 0 &&
                        c->get_area_type(*session->area_id) == zel_api::command::area_type::parking;
    const bool take = parked || c->get_current_order() != nullptr;
    take_->set_visible(take);
    parking_->set_visible(!take);
    if (list_kind_ == kind_own_orders) {
        take_->set_visible(false);
        parking_->set_visible(false);
    } else if (list_kind_ == kind_second_list) {
        take_->set_visible(true);
        parking_->set_visible(false);
    }
    back_->set_visible(true);
}

void panel_take_order::apply_tariff_values(const order_record& o) {
    tariff_widget& t = *tariff_;
    if (o.dct) {
        const auto& rates = *o.dct;
        t.set_base_price(rates.p_ref());
        t.set_included_km(rates.pd_ref());
        t.set_included_minutes(rates.pt_ref());
        t.set_price_per_km(rates.cdu_ref());
        t.set_price_per_minute(rates.ctu_ref());
        t.set_price_per_waiting_minute(rates.cdtu_ref());
        t.set_purchase_percent(o.dt ? static_cast<float>(o.dt->p) : 0.0f);
        t.set_purchase_minimum(o.dt ? static_cast<float>(o.dt->mc) : 0.0f);
        return;
    }
    const controller* c = controller::instance();
    const auto tariff = c ? c->get_tariff(o.s_tid) : nullptr;
    if (!tariff) {
        return;
    }
    if (tariff->pp) {
        t.set_base_price(*tariff->pp);
    }
    if (tariff->pp_dist) {
        t.set_included_km(static_cast<float>(*tariff->pp_dist));
    }
    if (tariff->pp_time) {
        t.set_included_minutes(static_cast<float>(*tariff->pp_time));
    }
    if (tariff->btax_dist) {
        t.set_price_per_km(*tariff->btax_dist);
    }
    if (tariff->btax_time) {
        t.set_price_per_minute(*tariff->btax_time);
        t.set_price_per_waiting_minute(*tariff->btax_time);
    }
}

void panel_take_order::update_scroll_buttons() {
    if (!order_view_) {
        return;
    }
    const scroll_view& view = order_tab_->is_checked() ? *order_view_ : *tariff_view_;
    view.show_scroll_buttons(*scroll_up_, *scroll_down_);
}

// --- commands

void panel_take_order::on_command(const zel_api::update_mask& mask) {
    const controller* c = controller::instance();
    if (mask.test(zel_api::key::order)) {
        // A re-sent order is a new record in the store; one that left the store keeps its last copy here.
        if (auto fresh = c ? c->find_order(list_kind_, order_id_) : nullptr) {
            order_ = std::move(fresh);
        }
        order_text();
    }
    if (awaiting_order() && (mask.test(zel_api::key::order) || mask.test(zel_api::key::odel))) {
        end_wait();
        return;
    }
    if (!mask.test(zel_api::key::cmd_result)) {
        return;
    }
    const auto& result = mask.payload();
    if (const auto* taken = mask.result_of(zel_api::key::set_driver); taken && taken->ok) {
        if (form_.has_panel(panel_ids::ride) || list_kind_ == kind_second_list || (c && c->get_current_order())) {
            move_on_taken();
            form_.unlock();
        } else if (!awaiting_order()) {
            // A server may send the taken order in a packet after its result: the next packet with orders
            // decides, as the result would have with the order already stored, or after settle_seconds the
            // result alone does. The status strip unlocks once for the result (just after this call); the
            // wait's own lock keeps the driver from taking the order again meanwhile.
            form_.lock();
            wait_timer_ = form_.set_timer(settle_seconds, [this] { end_wait(); });
        }
    } else if (result && !result->ok && !mask.result_of(zel_api::key::login)) {
        // The status strip unlocks; the driver stays with the order shown.
    } else if (result && !result->ok) {
        if (c && c->get_current_order()) {
            form_.pop_panel();
        }
        form_.unlock();
    } else {
        form_.unlock();
    }
}

// The wait for the taken order over (a packet with orders came, or its time ran out): the driver moves on and
// the wait's lock goes.
void panel_take_order::end_wait() {
    stop_wait();
    move_on_taken();
    form_.unlock();
}

void panel_take_order::stop_wait() {
    if (wait_timer_ != -1) {
        form_.kill_timer(wait_timer_);
        wait_timer_ = -1;
    }
}

// Where a successful "set-driver" leads, once the taken order is in the store or will not come.
void panel_take_order::move_on_taken() {
    const controller* c = controller::instance();
    if (form_.has_panel(panel_ids::ride)) {
        form_.pop_panel();
    } else if (c && c->get_current_order() && list_kind_ != kind_second_list) {
        form_.pop_to_first_quiet();
        form_.push_panel(panel_ids::on_the_way);
    } else {
        form_.pop_to_first();
    }
}

// --- callbacks

void panel_take_order::on_back_button() {
    form_.pop_panel();
}

void panel_take_order::on_take_order() {
    controller* c = controller::instance();
    if (!order_ || !c || awaiting_order()) {
        return;
    }
    form_.lock();
    c->set_driver(order_->s_id);
}

void panel_take_order::on_parking() {
    form_.pop_to_first_quiet();
    form_.push_panel(panel_ids::area_list);
}

void panel_take_order::on_tab_order() {
    if (!order_view_) {
        return;
    }
    order_view_->set_visible(true);
    tariff_view_->set_visible(false);
    update_scroll_buttons();
}

void panel_take_order::on_tab_tariff() {
    if (!order_view_) {
        return;
    }
    tariff_view_->set_visible(true);
    order_view_->set_visible(false);
    update_scroll_buttons();
}

void panel_take_order::on_scroll_up() {
    if (!order_view_) {
        return;
    }
    (order_tab_->is_checked() ? *order_view_ : *tariff_view_).scroll_up();
    update_scroll_buttons();
}

void panel_take_order::on_scroll_down() {
    if (!order_view_) {
        return;
    }
    (order_tab_->is_checked() ? *order_view_ : *tariff_view_).scroll_down();
    update_scroll_buttons();
}

void panel_take_order::on_arrow_up() {
    if (order_view_) {
        order_view_->scroll_up();
    }
}

void panel_take_order::on_arrow_down() {
    if (order_view_) {
        order_view_->scroll_down();
    }
}

} // namespace zel::form
