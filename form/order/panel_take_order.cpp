// Sections: pictures and layout numbers | show and hide | order text | button rule and tariff values |
// commands | callbacks.
#include "form/order/panel_take_order.h"

#include <cmath>

#include "controller/controller.h"
#include "form/brush_holder.h"
#include "form/caption_radio_button.h"
#include "form/drawing.h"
#include "form/elapsed_time_box.h"
#include "form/font_holder.h"
#include "form/frame_image_button.h"
#include "form/graphics.h"
#include "form/image.h"
#include "form/image_button.h"
#include "form/image_control.h"
#include "form/line_control.h"
#include "form/manager_2.h"
#include "form/multiline_text.h"
#include "form/order/order_figures.h"
#include "form/order/take_order_param.h"
#include "form/order/tariff_widget.h"
#include "form/radio_group.h"
#include "form/scroll_view.h"
#include "form/skin_images.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;
using order_record = zel_api::command::order;

namespace {

// --- pictures and layout numbers

constexpr int class_icon = 7014;
constexpr int time_box_image = 7025;
constexpr int icl_image = 7008;
constexpr int trade_image = 7010;
constexpr int of_image = 7012;
constexpr int osid_image = 7061;
constexpr int star_image = 7013;
constexpr int back_image = 1048;
constexpr int take_image = 1050;
constexpr int parking_image = 1057;
constexpr int arrow_up = 1046;
constexpr int arrow_up_pressed = 1047;
constexpr int arrow_down = 1044;
constexpr int arrow_down_pressed = 1045;
constexpr int divider_image = 7044;
constexpr int distance_image = 7042;
constexpr int own_rates_tab = 7063;
constexpr int first_tariff_tab = 7052;
constexpr int order_tab_checked = 7047;
constexpr int order_tab_unchecked = 7048;

constexpr int image_ids[] = {class_icon,    time_box_image,     icl_image,         trade_image,
                             of_image,      osid_image,         star_image,        back_image,
                             take_image,    parking_image,      arrow_up,          arrow_up_pressed,
                             arrow_down,    arrow_down_pressed, divider_image,     distance_image,
                             own_rates_tab, first_tariff_tab,   order_tab_checked, order_tab_unchecked};

// Design lengths, times the scale and truncated.
constexpr double tab_height = 50;
constexpr double button_height = 117;
constexpr double button_width = 220;
constexpr int content_inset = 6;

// Text blocks: size before scaling, bold, colour.
constexpr int line_size = 40;
constexpr int figure_size = 45;
constexpr int sign_size = 25;
constexpr unsigned white_text = white.rrggbb();
constexpr unsigned secondary = 0xCFD3D3;
constexpr unsigned sum_colour = 0xFFC300;
constexpr unsigned distance_colour = 0x329B05;
constexpr unsigned dark_edge = 0x15131F;
constexpr unsigned light_edge = 0x3D4349;
constexpr rgb background{23, 27, 34};
// The figures' places below the running y, as a share of the minimum sum's height.
constexpr double sign_drop = 0.4;

constexpr const wchar_t* rouble_sign = L" р.";
constexpr const wchar_t* kilometre_sign = L" км.";
// The widest distance figure the layout reserves room for.
constexpr const wchar_t* sample_figure = L"5.3";

constexpr int preliminary = 1;
constexpr int osid_marked = 5;
constexpr uint64_t of_badge_bit = 0x20;
constexpr int cashless = 1;
constexpr int parking_area_type = 1;
constexpr int kind_second_list = 2;
constexpr int kind_own_orders = 3;

constexpr int area_list_panel = 9;
constexpr int on_the_way_panel = 21;
constexpr int ride_panel = 24;

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
    const int bh = scaled(button_height, s);
    const int bw = scaled(button_width, s);
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
    awaiting_order_ = false;
    const skin_images* skin = form_.get_skin_images();
    for (int image_id : image_ids) {
        images_[image_id] = skin_images::image_of(skin, image_id);
    }
    const layout l = place();

    tabs_ = std::make_unique<radio_group>();
    order_tab_ = std::make_unique<caption_radio_button>(
        &form_, l.order_tab, [this] { on_tab_order(); }, image(order_tab_checked), image(order_tab_unchecked), L"ЗАКАЗ",
        tabs_.get());
    tariff_tab_ = std::make_unique<caption_radio_button>(
        &form_, l.tariff_tab, [this] { on_tab_tariff(); }, image(first_tariff_tab), image(first_tariff_tab), L"ТАРИФ",
        tabs_.get());
    add_control(order_tab_.get(), 1);
    add_control(tariff_tab_.get(), 1);

    back_ = std::make_unique<frame_image_button>(
        &form_, l.back, [this] { on_back_button(); }, image(back_image), L"Назад");
    take_ = std::make_unique<frame_image_button>(
        &form_, l.take, [this] { on_take_order(); }, image(take_image), L"Взять заказ");
    parking_ = std::make_unique<frame_image_button>(
        &form_, l.take, [this] { on_parking(); }, image(parking_image), L"Парковка");
    add_control(back_.get(), 1);
    add_control(take_.get(), 1);
    add_control(parking_.get(), 1);

    order_view_ = std::make_unique<scroll_view>(&form_, l.content);
    tariff_view_ = std::make_unique<scroll_view>(&form_, l.content);
    tariff_view_->set_visible(false);
    add_control(order_view_.get(), 1);
    add_control(tariff_view_.get(), 1);

    dark_line_ = std::make_unique<line_control>(&form_, l.dark_line, dark_edge);
    light_line_ = std::make_unique<line_control>(&form_, l.light_line, light_edge);
    add_control(dark_line_.get(), l.line_layer);
    add_control(light_line_.get(), l.line_layer);

    build_order_view(l);

    const int cw = l.content.w;
    const int aw = image(arrow_up)->width();
    const int ah = image(arrow_up)->height();
    scroll_up_ = std::make_unique<image_button>(
        &form_, rect{l.content.x + cw - aw, l.content.y, aw, ah}, [this] { on_scroll_up(); }, image(arrow_up),
        image(arrow_up_pressed));
    scroll_down_ = std::make_unique<image_button>(
        &form_, rect{l.content.x + cw - aw, l.content.y + l.content.h - ah, aw, ah}, [this] { on_scroll_down(); },
        image(arrow_down), image(arrow_down_pressed));
    add_control(scroll_up_.get(), 2);
    add_control(scroll_down_.get(), 2);

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

void panel_take_order::build_order_view(const layout& l) {
    const float s = form_.get_scale();
    const int cw = l.content.w;
    auto make_picture = [&](picture_part part, int image_id, const rect& r) {
        auto made = std::make_unique<image_control>(&form_, r, image(image_id));
        order_view_->add(made.get());
        pictures_[static_cast<size_t>(part)] = std::move(made);
    };
    auto make_text = [&](text_part part, int x, int y, int width, int size, bool bold, unsigned colour) {
        auto made = std::make_unique<multiline_text>(&form_, x, y, width);
        made->set_font(size, bold);
        made->set_color(colour);
        order_view_->add(made.get());
        texts_[static_cast<size_t>(part)] = std::move(made);
    };
    auto bottom = [](const control& c) { return c.get_rect().y + c.get_rect().h; };
    auto size_of = [this](int image_id) {
        const auto picture = image(image_id);
        return size{picture->width(), picture->height()};
    };
    const size icl = size_of(icl_image);
    const size star = size_of(star_image);
    const size time = size_of(time_box_image);
    const size divider = size_of(divider_image);
    const size distance = size_of(distance_image);

    make_picture(picture_part::icl, icl_image, {cw - icl.width, 0, icl.width, icl.height});
    const size trade = size_of(trade_image);
    make_picture(picture_part::trade, trade_image, {cw - trade.width, 0, trade.width, trade.height});
    const size of = size_of(of_image);
    make_picture(picture_part::of, of_image, {cw - of.width, 0, of.width, of.height});
    make_picture(picture_part::osid, osid_image, {cw - trade.width, 0, trade.width, trade.height});
    const int x1 = cw - icl.width - star.width;
    make_picture(picture_part::star1, star_image, {x1, star.height / 2, star.width, star.height});
    make_picture(picture_part::star2, star_image, {x1 - star.width, star.height / 2, star.width, star.height});
    make_picture(picture_part::star3, star_image, {x1 - 2 * star.width, star.height / 2, star.width, star.height});

    time_box_ =
        std::make_unique<elapsed_time_box>(&form_, rect{0, star.height - time.height / 2, time.width, time.height});
    order_view_->add(time_box_.get());

    make_text(text_part::pickup_address, 0, bottom(*time_box_), cw, line_size, true, white_text);
    make_text(text_part::pickup_note, 0, bottom(block(text_part::pickup_address)), cw, line_size, false, white_text);
    make_text(text_part::information, 0, bottom(block(text_part::pickup_note)), cw, line_size, false, secondary);
    const int figures_top = bottom(block(text_part::information));
    make_text(text_part::minimum_sum, 0, figures_top, cw / 2, figure_size, true, sum_colour);
    const multiline_text& sum = block(text_part::minimum_sum);
    const int sign_top = static_cast<int>(figures_top + sign_drop * sum.get_rect().h);
    make_text(text_part::rouble_sign, sum.first_line_width(), sign_top, cw / 2, sign_size, false, sum_colour);

    kilometre_width_ = text_extent(form_.get_hwnd(), font_holder(scaled(sign_size, s), 400), kilometre_sign).width;
    figure_width_ = text_extent(form_.get_hwnd(), font_holder(scaled(figure_size, s), 700), sample_figure).width;
    make_text(text_part::kilometre_sign, cw - kilometre_width_, sign_top, kilometre_width_, sign_size, false,
              distance_colour);
    make_text(text_part::distance, cw - kilometre_width_ - figure_width_ - l.content.x, figures_top, figure_width_,
              figure_size, true, distance_colour);
    const rect& figure = block(text_part::distance).get_rect();
    make_picture(
        picture_part::distance, distance_image,
        {figure.x - distance.width, figure.y + figure.h / 2 - distance.height / 2, distance.width, distance.height});
    icon(picture_part::distance).set_visible(false);

    const int divider_top = figures_top + divider.height / 2;
    const int middle = divider_top + divider.height / 2;
    divider_dark_ = std::make_unique<line_control>(&form_, rect{0, middle - 3, cw, 0}, dark_edge);
    divider_light_ = std::make_unique<line_control>(&form_, rect{0, middle - 2, cw, 0}, light_edge);
    order_view_->add(divider_dark_.get());
    order_view_->add(divider_light_.get());
    make_picture(picture_part::divider, divider_image, {0, divider_top, divider.width, divider.height});
    make_text(text_part::destinations, 0, bottom(icon(picture_part::divider)), cw, line_size, false, white_text);
}

void panel_take_order::hide() {
    awaiting_order_ = false;
    tariff_.reset();
    scroll_up_.reset();
    scroll_down_.reset();
    divider_dark_.reset();
    divider_light_.reset();
    time_box_.reset();
    for (auto& text : texts_) {
        text.reset();
    }
    for (auto& picture : pictures_) {
        picture.reset();
    }
    dark_line_.reset();
    light_line_.reset();
    order_view_.reset();
    tariff_view_.reset();
    back_.reset();
    take_.reset();
    parking_.reset();
    order_tab_.reset();
    tariff_tab_.reset();
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
    compose_column(o);
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
    const bool osid_five = o.osid && *o.osid == osid_marked;
    icon(picture_part::of).set_visible(o.of && (*o.of & of_badge_bit) != 0);
    icon(picture_part::trade).set_visible(o.trade && !osid_five && *o.trade);
    icon(picture_part::icl).set_visible(o.icl && *o.icl == cashless);
    icon(picture_part::osid).set_visible(osid_five);
}

void panel_take_order::compose_column(const order_record& o) {
    const float s = form_.get_scale();
    const int width = order_view_->get_rect().w;
    const int content_x = order_view_->get_rect().x;
    int y = time_box_->get_rect().y + time_box_->get_rect().h;

    multiline_text& address = block(text_part::pickup_address);
    address.set_text(o.af.t);
    address.set_visible(!o.af.t.empty());
    y += o.af.t.empty() ? 0 : address.get_rect().h;

    for (auto [part, text] : {std::pair{text_part::pickup_note, &o.af.tx}, std::pair{text_part::information, &o.i}}) {
        multiline_text& b = block(part);
        b.set_text(*text);
        if (text->empty()) {
            b.set_visible(false);
        } else {
            b.set_visible(true);
            b.set_position(0, y, width);
            y += b.get_rect().h;
        }
    }

    multiline_text& sum = block(text_part::minimum_sum);
    multiline_text& rouble = block(text_part::rouble_sign);
    const bool shows_sum = o.msum && *o.msum != 0;
    if (shows_sum) {
        sum.set_text(line_roubles_text(*o.msum));
        sum.set_visible(true);
        sum.set_position(0, y, width / 2);
        rouble.set_text(rouble_sign);
        rouble.set_visible(true);
        rouble.set_position(sum.first_line_width(), static_cast<int>(y + sign_drop * sum.get_rect().h), width / 2);
    } else {
        sum.set_text(L"");
        sum.set_visible(false);
        rouble.set_text(L"");
        rouble.set_visible(false);
    }

    multiline_text& km = block(text_part::kilometre_sign);
    multiline_text& figure = block(text_part::distance);
    image_control& pin = icon(picture_part::distance);
    const bool shows_distance = o.dist_to_driver && *o.dist_to_driver > 0;
    if (shows_distance) {
        km.set_text(kilometre_sign);
        km.set_visible(true);
        km.set_position(width - kilometre_width_, static_cast<int>(y + sign_drop * sum.get_rect().h), kilometre_width_);
        const std::wstring text = line_kilometres_text(*o.dist_to_driver);
        const int d = text_extent(form_.get_hwnd(), font_holder(scaled(figure_size, s), 700), text).width;
        figure.set_text(text);
        figure.set_visible(true);
        figure.set_position(km.get_rect().x - d - content_x, y, d);
        const int pin_w = pin.image()->width();
        const int pin_h = pin.image()->height();
        pin.set_rect(
            {figure.get_rect().x - pin_w, figure.get_rect().y + figure.get_rect().h / 2 - pin_h / 2, pin_w, pin_h});
        pin.set_visible(true);
    } else {
        km.set_text(L"");
        km.set_visible(false);
        figure.set_text(L"");
        figure.set_visible(false);
        pin.set_visible(false);
    }
    y += shows_sum ? sum.get_rect().h : shows_distance ? figure.get_rect().h : 0;

    image_control& divider = icon(picture_part::divider);
    const int x = sum.get_rect().x;
    const int h = divider.get_rect().h;
    divider.set_rect({x, y + h / 2, divider.get_rect().w, h});
    divider_dark_->set_rect({x, y + h / 2 + h / 2 - 3, width, 0});
    divider_light_->set_rect({x, y + h / 2 + h / 2 - 2, width, 0});
    y += h;

    multiline_text& destinations = block(text_part::destinations);
    if (o.at.empty()) {
        destinations.set_text(L"");
        destinations.set_visible(false);
    } else {
        std::wstring text;
        for (const auto& point : o.at) {
            text += text.empty() ? L"" : L", ";
            text += point.t;
            if (!point.tx.empty()) {
                text += L" (" + point.tx + L")";
            }
        }
        destinations.set_text(text);
        destinations.set_visible(true);
        destinations.set_position(0, y, width);
    }
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
    const bool parked =
        session->area_id && *session->area_id != 0 && c->get_area_type(*session->area_id) == parking_area_type;
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
    const bool up = view.can_scroll_up();
    const bool down = view.can_scroll_down();
    scroll_up_->set_visible(up);
    scroll_up_->set_enabled(up);
    scroll_down_->set_visible(down);
    scroll_down_->set_enabled(down);
}

// --- commands

void panel_take_order::on_command(const zel_api::update_mask& mask) {
    const controller* c = controller::instance();
    if (mask.test(L"order")) {
        // A re-sent order is a new record in the store; one that left the store keeps its last copy here.
        if (auto fresh = c ? c->find_order(list_kind_, order_id_) : nullptr) {
            order_ = std::move(fresh);
        }
        order_text();
    }
    if (awaiting_order_ && (mask.test(L"order") || mask.test(L"odel"))) {
        move_on_taken();
        return;
    }
    if (!mask.test(L"cmd-result")) {
        return;
    }
    const auto& result = mask.payload();
    if (result && result->ok && result->cmd_name == L"set-driver") {
        if (form_.has_panel(ride_panel) || list_kind_ == kind_second_list || (c && c->get_current_order())) {
            move_on_taken();
        } else {
            // A server may send the taken order in a packet after its result: the next packet with orders
            // decides, as the result would have with the order already stored.
            awaiting_order_ = true;
        }
        form_.unlock();
    } else if (result && !result->ok && result->cmd_name != L"login") {
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

// Where a successful "set-driver" leads, once the taken order is in the store or will not come.
void panel_take_order::move_on_taken() {
    awaiting_order_ = false;
    const controller* c = controller::instance();
    if (form_.has_panel(ride_panel)) {
        form_.pop_panel();
    } else if (c && c->get_current_order() && list_kind_ != kind_second_list) {
        form_.pop_to_first_quiet();
        form_.push_panel(on_the_way_panel);
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
    if (!order_ || !c) {
        return;
    }
    form_.lock();
    c->set_driver(order_->s_id);
}

void panel_take_order::on_parking() {
    form_.pop_to_first_quiet();
    form_.push_panel(area_list_panel);
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
