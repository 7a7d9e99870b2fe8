// Sections: layout numbers | show and hide | the fill | buttons and keys | commands.
#include "form/order/panel_order_offer.h"

#include "api/command/received/order_offer.h"
#include "controller/controller.h"
#include "form/drawing.h"
#include "form/font_holder.h"
#include "form/image.h"
#include "form/image_button.h"
#include "form/image_control.h"
#include "form/line_control.h"
#include "form/manager_2.h"
#include "form/multiline_text.h"
#include "form/offer_take_button.h"
#include "form/order/order_figures.h"
#include "form/order/unit_text.h"
#include "form/scroll_view.h"
#include "form/skin_images.h"
#include "form/text_label.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

// --- layout numbers (design pixels, fonts before scaling, colours 0xRRGGBB)

constexpr double button_height = 117.0;
constexpr double button_width = 220.0;
constexpr double margin = 12.0;
constexpr int view_inset = 6; // the text view's extra inset from the box's sides

constexpr int title_image_id = 2200;
constexpr int badge_ids[panel_order_offer::badge_count] = {7008, 7010, 7012, 7061};
constexpr int up_id = 1046;
constexpr int up_pressed_id = 1047;
constexpr int down_id = 1044;
constexpr int down_pressed_id = 1045;
constexpr int separator_id = 7044;
constexpr int distance_id = 7042;

constexpr int title_font = 38;
constexpr unsigned title_colour = 0xFFD430;
constexpr unsigned title_format = 36; // left, vertically centred, single line

constexpr int address_font = 40;
constexpr unsigned white_text = white.rrggbb();
constexpr unsigned information_colour = 0xCFD3D3;
constexpr int figure_font = 45;
constexpr int unit_font = 25;
constexpr unsigned price_colour = 0xFFC300;
constexpr unsigned distance_colour = 0x329B05;
constexpr float unit_drop = 0.4f; // the units stand this part of the price's height below its top
const wchar_t* const price_unit = L" р.";
const wchar_t* const distance_unit = L" км.";
const wchar_t* const distance_sample = L"5.3";

constexpr uint64_t option_flag = 0x20;
constexpr int32_t osid_badge = 5;

int cut(float value) {
    return static_cast<int>(value);
}

int text_width(const manager_2& form, int size, int weight, const std::wstring& text) {
    font_holder font(scaled(size, form.get_scale()), weight);
    return text_extent(form.get_hwnd(), font, text).width;
}

// Shows a text row with its text, or hides and empties it; its height when shown, else 0.
int show_row(multiline_text& row, const std::wstring& text) {
    if (text.empty()) {
        row.set_visible(false);
        row.set_text(L"");
        return 0;
    }
    row.set_text(text);
    row.set_visible(true);
    return row.get_rect_c().h;
}

// "t (tx), t, t (tx)": the destinations in received order.
std::wstring destinations_text(const std::vector<zel_api::command::order_point>& points) {
    std::wstring text;
    for (size_t i = 0; i < points.size(); ++i) {
        text += points[i].t;
        if (!points[i].tx.empty()) {
            text += L" (" + points[i].tx + L")";
        }
        if (i + 1 < points.size()) {
            text += L", ";
        }
    }
    return text;
}

} // namespace

panel_order_offer::panel_order_offer(manager_2& form) : panel_order_offer_fine(form) {}

panel_order_offer::~panel_order_offer() = default;

// --- show and hide

void panel_order_offer::show(const panel_param* param) {
    leaving_ = false;
    accepting_ = false;
    shown_.reset();
    layout();
    form_.play_sound(3);
    if (!param_as<text_param>(param)) {
        log(logger::warning, L"panel_order_offer::show: no order id");
        leave();
        return;
    }
    if (!current_offer()) {
        log(logger::warning, L"panel_order_offer::show: no offer stored");
        leave();
        return;
    }
    const skin_images* skin = form_.get_skin_images();
    auto image = [skin](int id) { return skin_images::image_of(skin, id); };
    title_image_ = image(title_image_id);
    for (int b = 0; b < badge_count; ++b) {
        badge_images_[b] = image(badge_ids[b]);
    }
    up_image_ = image(up_id);
    up_pressed_image_ = image(up_pressed_id);
    down_image_ = image(down_id);
    down_pressed_image_ = image(down_pressed_id);
    separator_image_ = image(separator_id);
    distance_image_ = image(distance_id);
    build_controls();
    offer_text();
    timer_ = form_.set_timer(1, [this] { refresh_text(); });
}

void panel_order_offer::build_controls() {
    const float s = form_.get_scale();
    const rect& C = content_rect();
    const int bh = cut(s * static_cast<float>(button_height));
    const int bw = cut(s * static_cast<float>(button_width));
    const int mg = bh / 10;
    const int m = cut(s * static_cast<float>(margin));
    const int q = C.w / 4;
    const int button_y = C.y + C.h - mg - bh;
    const int wt = title_image_->width();
    const int ht = title_image_->height();

    reject_ = std::make_unique<offer_reject_button>(&form_, rect{C.x + q - bw / 2, button_y, bw, bh - mg},
                                                    [this] { on_reject(); });
    take_ = std::make_unique<offer_take_button>(&form_, rect{C.x + 3 * q - bw / 2, button_y, bw, bh - mg},
                                                [this] { on_accept(); });
    title_icon_ = std::make_unique<image_control>(&form_, rect{C.x + m, C.y + m, wt, ht}, title_image_);
    title_ = std::make_unique<text_label>(&form_, rect{C.x + m + wt + m, C.y + m, C.w - 3 * m - wt, ht}, L"");
    title_->set_font_size(title_font);
    title_->set_color(title_colour);
    title_->set_format(title_format);
    title_->set_text(L"НАЗНАЧЕН ЗАКАЗ", 700);
    for (int b = 0; b < badge_count; ++b) {
        // The "osid" 5 badge stands where the trade badge does.
        const Image& placed = *badge_images_[b == osid5 ? trade : b];
        badges_[b] = std::make_unique<image_control>(
            &form_, rect{C.x + C.w - placed.width(), C.y, placed.width(), placed.height()}, badge_images_[b]);
        badges_[b]->set_visible(false);
    }

    const int sx = C.x + m + view_inset;
    const int sy = cut(1.5f * static_cast<float>(ht) + static_cast<float>(C.y)) + m;
    const int sw = C.w - 2 * (m + view_inset);
    const int sh = C.h - 2 * mg - 3 * m - ht - bh;
    view_width_ = sw;
    view_ = std::make_unique<scroll_view>(&form_, rect{sx, sy, sw, sh});
    const int wa = up_image_->width();
    const int ha = up_image_->height();
    up_ = std::make_unique<image_button>(
        &form_, rect{C.x + C.w - wa, C.y, wa, ha}, [this] { on_scroll_up(); }, up_image_, up_pressed_image_);
    down_ = std::make_unique<image_button>(
        &form_, rect{C.x + C.w - wa, sy + sh - ha, wa, ha}, [this] { on_scroll_down(); }, down_image_,
        down_pressed_image_);
    rule_dark_ = std::make_unique<line_control>(&form_, rect{C.x, sy + sh, C.w, 1}, rule_dark);
    rule_light_ = std::make_unique<line_control>(&form_, rect{C.x, sy + sh + 1, C.w, 1}, rule_light);

    auto text_row = [this](int size, bool bold, unsigned colour, int width) {
        auto row = std::make_unique<multiline_text>(&form_, 0, 0, width);
        row->set_font(size, bold);
        row->set_color(colour);
        return row;
    };
    pickup_ = text_row(address_font, true, white_text, sw);
    pickup_note_ = text_row(address_font, false, white_text, sw);
    information_ = text_row(address_font, false, information_colour, sw);
    price_ = text_row(figure_font, true, price_colour, sw / 2);
    price_unit_ = std::make_unique<unit_text>(&form_, unit_font, price_colour);
    price_unit_->set_position(0, 0, sw / 2);
    unit_width_ = text_width(form_, unit_font, 400, distance_unit);
    distance_unit_ = std::make_unique<unit_text>(&form_, unit_font, distance_colour);
    distance_unit_->set_position(sw - unit_width_, 0, unit_width_);
    const int sample = text_width(form_, figure_font, 700, distance_sample);
    distance_ = text_row(figure_font, true, distance_colour, sample);
    distance_->set_position(sw - unit_width_ - sample, 0, sample);
    distance_icon_ = std::make_unique<image_control>(
        &form_, rect{0, 0, distance_image_->width(), distance_image_->height()}, distance_image_);
    distance_icon_->set_visible(false);
    separator_dark_ = std::make_unique<line_control>(&form_, rect{0, 0, sw, 0}, rule_dark);
    separator_light_ = std::make_unique<line_control>(&form_, rect{0, 1, sw, 0}, rule_light);
    separator_icon_ = std::make_unique<image_control>(
        &form_, rect{0, 0, separator_image_->width(), separator_image_->height()}, separator_image_);
    destinations_ = text_row(address_font, false, white_text, sw);

    add_control(reject_.get(), 1);
    add_control(take_.get(), 1);
    add_control(title_icon_.get(), 1);
    add_control(title_.get(), 1);
    for (const auto& b : badges_) {
        add_control(b.get(), 1);
    }
    add_control(view_.get(), 1);
    add_control(up_.get(), 2);
    add_control(down_.get(), 2);
    add_control(rule_dark_.get(), 1);
    add_control(rule_light_.get(), 1);
    for (control* child : std::initializer_list<control*>{
             pickup_.get(), pickup_note_.get(), information_.get(), price_.get(), price_unit_.get(),
             distance_unit_.get(), distance_.get(), distance_icon_.get(), separator_dark_.get(), separator_light_.get(),
             separator_icon_.get(), destinations_.get()}) {
        view_->add(child);
    }
}

void panel_order_offer::hide() {
    release_images();
    if (timer_ != -1) {
        form_.kill_timer(timer_);
        timer_ = -1;
    }
    // The view's children first: the view only points at them.
    pickup_.reset();
    pickup_note_.reset();
    information_.reset();
    price_.reset();
    price_unit_.reset();
    distance_unit_.reset();
    distance_.reset();
    distance_icon_.reset();
    separator_dark_.reset();
    separator_light_.reset();
    separator_icon_.reset();
    destinations_.reset();
    view_.reset();
    reject_.reset();
    take_.reset();
    title_icon_.reset();
    title_.reset();
    for (auto& b : badges_) {
        b.reset();
    }
    up_.reset();
    down_.reset();
    rule_dark_.reset();
    rule_light_.reset();
    for (auto& image : badge_images_) {
        image.reset();
    }
    up_image_.reset();
    up_pressed_image_.reset();
    down_image_.reset();
    down_pressed_image_.reset();
    separator_image_.reset();
    distance_image_.reset();
    shown_.reset();
}

void panel_order_offer::leave() {
    if (!leaving_) {
        leaving_ = true;
        form_.pop_panel();
    }
}

// --- the fill

void panel_order_offer::refresh_text() {
    offer_text();
}

void panel_order_offer::offer_text() {
    if (!view_ || leaving_) {
        return; // not shown, or on its way out
    }
    const offer_ptr offer = current_offer();
    if (!offer) {
        log(logger::warning, L"panel_order_offer::offer_text: the offer is gone");
        leave();
        return;
    }
    // What the buttons answer from now on: the offer about to be drawn.
    shown_ = offer;
    if (order_is_current()) {
        taken();
        return;
    }
    const zel_api::command::order& order = offer->order;

    // A passed deadline stops only the countdown, at 00:00; the rest is drawn all the same, so an offer that
    // arrives late still shows what it offers.
    take_->set_time_text(countdown_text(seconds_left(*offer)));
    reject_->set_badge_text(fine_text(offer->fine_rating));
    reject_->set_active(offer->fineable);
    take_->set_badge_text(reward_text(offer->reward_rating));
    take_->set_active(offer->fineable);

    const bool osid_five = order.osid && *order.osid == osid_badge;
    badges_[option]->set_visible(order.of && (*order.of & option_flag) != 0);
    badges_[trade]->set_visible(order.trade && *order.trade && !osid_five);
    badges_[cashless]->set_visible(order.icl && *order.icl == 1);
    badges_[osid5]->set_visible(osid_five);

    const int sw = view_width_;
    int y = show_row(*pickup_, order.af.t);
    pickup_note_->set_position(0, y, sw);
    y += show_row(*pickup_note_, order.af.tx);
    information_->set_position(0, y, sw);
    y += show_row(*information_, order.i);

    const bool priced = order.msum && *order.msum != 0.0f;
    if (priced) {
        price_->set_position(0, y, sw / 2);
        price_->set_text(line_roubles_text(*order.msum));
        price_->set_visible(true);
    } else {
        price_->set_visible(false);
        price_->set_text(L"");
    }
    const int price_height = price_->get_rect_c().h;
    const int unit_y = cut(unit_drop * static_cast<float>(price_height) + static_cast<float>(y));
    if (priced) {
        price_unit_->set_position(price_->first_line_width(), unit_y, sw / 2);
        price_unit_->set_text(price_unit);
        price_unit_->set_visible(true);
    } else {
        price_unit_->set_visible(false);
        price_unit_->set_text(L"");
    }

    if (order.dist_to_driver) {
        const int x_unit = sw - unit_width_;
        distance_unit_->set_position(x_unit, unit_y, unit_width_);
        distance_unit_->set_text(distance_unit);
        distance_unit_->set_visible(true);
        const std::wstring figure = line_kilometres_text(*order.dist_to_driver);
        const int w = text_width(form_, figure_font, 700, figure);
        distance_->set_position(x_unit - w, y, w);
        distance_->set_text(figure);
        distance_->set_visible(true);
        const int h = distance_->get_rect_c().h;
        distance_icon_->set_rect(rect{x_unit - w - distance_image_->width(), y + h / 2 - distance_image_->height() / 2,
                                      distance_image_->width(), distance_image_->height()});
        distance_icon_->set_visible(true);
    } else {
        distance_unit_->set_text(L"");
        distance_unit_->set_visible(false);
        distance_->set_text(L"");
        distance_icon_->set_visible(false);
        // Parked at the top, so a hidden icon never stretches the view's content.
        distance_icon_->set_rect(rect{0, 0, distance_image_->width(), distance_image_->height()});
    }
    if (priced) {
        y += price_height;
    } else if (order.dist_to_driver) {
        y += distance_->get_rect_c().h;
    }

    const int hs = separator_image_->height();
    separator_icon_->set_rect(rect{0, y + hs / 2, separator_image_->width(), hs});
    separator_dark_->set_rect(rect{0, y + hs / 2 + hs / 2 - 3, sw, 0});
    separator_light_->set_rect(rect{0, y + hs / 2 + hs / 2 - 2, sw, 0});
    y += hs;

    if (order.at.empty()) {
        destinations_->set_visible(false);
        destinations_->set_text(L"");
    } else {
        destinations_->set_position(0, y, sw);
        destinations_->set_text(destinations_text(order.at));
        destinations_->set_visible(true);
    }

    update_buttons();
    form_.invalidate_rect(view_->get_rect());
}

void panel_order_offer::update_buttons() {
    if (!view_) {
        return;
    }
    const bool up = view_->can_scroll_up();
    const bool down = view_->can_scroll_down();
    up_->set_visible(up);
    up_->set_enabled(up);
    down_->set_visible(down);
    down_->set_enabled(down);
}

// --- buttons and keys

void panel_order_offer::on_accept() {
    controller* c = controller::instance();
    if (!shown_ || !c) {
        return;
    }
    form_.lock();
    accepting_ = true;
    c->order_offer_accept(shown_->s_order_id);
}

void panel_order_offer::on_reject() {
    controller* c = controller::instance();
    if (!shown_ || !c) {
        return;
    }
    if (shown_->fineable) {
        // The warning sends the refusal itself.
        form_.push_panel(34);
        return;
    }
    form_.lock();
    c->order_offer_reject(shown_->s_order_id);
}

void panel_order_offer::on_scroll_up() {
    if (view_) {
        view_->scroll_up();
        update_buttons();
    }
}

void panel_order_offer::on_scroll_down() {
    if (view_) {
        view_->scroll_down();
        update_buttons();
    }
}

// The keys move the text only as far as the scroll buttons could: the view itself does not stop at its ends,
// so a key pressed at an end would push the text out of sight.
void panel_order_offer::on_key_up_arrow() {
    if (view_ && view_->can_scroll_up()) {
        on_scroll_up();
    }
}

void panel_order_offer::on_key_down_arrow() {
    if (view_ && view_->can_scroll_down()) {
        on_scroll_down();
    }
}

// --- commands

void panel_order_offer::on_command(const zel_api::update_mask& mask) {
    if (mask.test(L"disconnect_local")) {
        // The server may close this offer while the link is down and never say so: the offer is dead for a
        // refusal of "Взять заказ" unless a new one comes.
        outlived_ = current_offer();
        accepting_ = false; // the manager unlocks
    }
    if (mask.test(L"order-offer")) {
        // At once, not at the next tick: the buttons must never answer an offer that is not drawn.
        offer_text();
    }
    if (mask.test(L"cmd-result")) {
        if (const auto& result = mask.payload(); result && result->ok) {
            if (result->cmd_name == L"order-offer-accept") {
                accepting_ = true; // its lock is released here
                taken();
            } else if (result->cmd_name == L"order-offer-reject") {
                form_.unlock();
                form_.pop_to_first();
            }
        } else if (result && result->cmd_name == L"order-offer-accept" && shown_ && shown_ == outlived_) {
            log(logger::warning, L"panel_order_offer: the accept of an offer no longer offered was refused");
            leave();
        }
    }
    // The accept's answer lost with the link, the server's list tells: the order is the driver's already.
    if (mask.test(L"order") || mask.test(L"cmd-result")) {
        if (order_is_current()) {
            taken();
        }
    }
    if (mask.test(L"order-offer-timeout")) {
        form_.push_panel(31);
    }
    if (mask.test(L"order-offer-cancel")) {
        form_.push_panel(32);
    }
}

bool panel_order_offer::order_is_current() const {
    controller* c = controller::instance();
    return c && shown_ && c->find_order(zel_api::command::order::list_current, shown_->s_order_id) != nullptr;
}

void panel_order_offer::taken() {
    if (leaving_) {
        return;
    }
    if (accepting_) {
        accepting_ = false;
        form_.unlock();
    }
    leave();
}

} // namespace zel::form
