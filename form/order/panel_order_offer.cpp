// Sections: layout numbers | show and hide | the fill | buttons and keys | commands.
#include "form/order/panel_order_offer.h"

#include "api/command/received/order_offer.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/image_button.h"
#include "form/controls/image_control.h"
#include "form/controls/line_control.h"
#include "form/controls/scroll_view.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/offer_take_button.h"
#include "form/order/unit_text.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

using controller_::controller;

namespace {

// --- layout numbers (design pixels, fonts before scaling, colours 0xRRGGBB)

constexpr double margin = 12.0;
constexpr int view_inset = 6;     // the text view's extra inset from the box's sides
constexpr float view_drop = 1.5f; // the view's top below the box's top, in heights of the title's picture

constexpr int title_image_id = 2200;
constexpr int title_font = 38;
constexpr unsigned title_colour = 0xFFD430;
constexpr unsigned title_format = 36; // left, vertically centred, single line

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
    const auto* order_id = param_as<text_param>(param);
    // An accept lost with the link concerns the offer of its own order only.
    if (!order_id || order_id->value != lost_accept_) {
        lost_accept_.clear();
    }
    if (!order_id) {
        log(logger::warning, L"panel_order_offer::show: no order id");
        leave();
        return;
    }
    if (!current_offer()) {
        log(logger::warning, L"panel_order_offer::show: no offer stored");
        leave();
        return;
    }
    title_image_ = skin_images::image_of(form_.get_skin_images(), title_image_id);
    build_controls();
    offer_text();
    timer_ = form_.set_timer(1, [this] { refresh_text(); });
}

void panel_order_offer::build_controls() {
    const skin_images* skin = form_.get_skin_images();
    auto image = [skin](int image_id) { return skin_images::image_of(skin, image_id); };
    const float s = form_.get_scale();
    const rect& C = content_rect();
    const int bh = scaled(action_button_height, s);
    const int bw = scaled(action_button_width, s);
    const int mg = bh / 10;
    const int m = scaled(margin, s);
    const int q = C.w / 4;
    const int button_y = C.y + C.h - mg - bh;
    const int wt = title_image_->width();
    const int ht = title_image_->height();

    reject_ =
        &add<offer_reject_button>(1, &form_, rect{C.x + q - bw / 2, button_y, bw, bh - mg}, [this] { on_reject(); });
    take_ =
        &add<offer_take_button>(1, &form_, rect{C.x + 3 * q - bw / 2, button_y, bw, bh - mg}, [this] { on_accept(); });
    add<image_control>(1, &form_, rect{C.x + m, C.y + m, wt, ht}, title_image_);
    text_label& title = add<text_label>(1, &form_, rect{C.x + m + wt + m, C.y + m, C.w - 3 * m - wt, ht}, L"");
    title.set_font_size(title_font);
    title.set_color(title_colour);
    title.set_format(title_format);
    title.set_text(L"НАЗНАЧЕН ЗАКАЗ", 700);
    std::array<std::shared_ptr<Image>, badge_count> badge_images;
    for (int b = 0; b < badge_count; ++b) {
        badge_images[b] = image(order_badge_images[b]);
    }
    for (int b = 0; b < badge_count; ++b) {
        // The "osid" 5 badge stands where the trade badge does.
        const Image& placed = *badge_images[b == osid5 ? trade : b];
        badges_[b] = &add<image_control>(
            1, &form_, rect{C.x + C.w - placed.width(), C.y, placed.width(), placed.height()}, badge_images[b]);
        badges_[b]->set_visible(false);
    }

    const int sx = C.x + m + view_inset;
    const int sy = static_cast<int>(view_drop * static_cast<float>(ht) + static_cast<float>(C.y)) + m;
    const int sw = C.w - 2 * (m + view_inset);
    const int sh = C.h - 2 * mg - 3 * m - ht - bh;
    view_ = &add<scroll_view>(1, &form_, rect{sx, sy, sw, sh});
    const auto up_image = image(arrow_up_image);
    const int wa = up_image->width();
    const int ha = up_image->height();
    up_ = &add<image_button>(
        2, &form_, rect{C.x + C.w - wa, C.y, wa, ha}, [this] { on_scroll_up(); }, up_image,
        image(arrow_up_pressed_image));
    down_ = &add<image_button>(
        2, &form_, rect{C.x + C.w - wa, sy + sh - ha, wa, ha}, [this] { on_scroll_down(); }, image(arrow_down_image),
        image(arrow_down_pressed_image));
    add<line_control>(1, &form_, rect{C.x, sy + sh, C.w, 1}, rule_dark);
    add<line_control>(1, &form_, rect{C.x, sy + sh + 1, C.w, 1}, rule_light);

    summary_ = std::make_unique<order_summary<unit_text>>(form_, *view_, rect{0, 0, sw, 0}, order_summary_rules{});
}

void panel_order_offer::hide() {
    release_images();
    if (timer_ != -1) {
        form_.kill_timer(timer_);
        timer_ = -1;
    }
    // The summary's rows first: the view, gone at the clear, only points at them.
    summary_.reset();
    reject_ = nullptr;
    take_ = nullptr;
    badges_.fill(nullptr);
    view_ = nullptr;
    up_ = nullptr;
    down_ = nullptr;
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
    if (lost_accept_taken()) {
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

    const auto badges = order_badges_shown(order);
    for (int b = 0; b < badge_count; ++b) {
        badges_[b]->set_visible(badges[b]);
    }
    fill_summary(order);

    update_buttons();
    form_.invalidate_rect(view_->get_rect());
}

void panel_order_offer::fill_summary(const zel_api::command::order& order) {
    summary_->set_width(view_->get_rect().w);
    summary_->fill(order);
    // A text that does not fit scrolls, and the down button then stands over the view's right edge, where it
    // covered " км." and the ends of the lines: the column keeps left of the buttons.
    const int clear_width = down_->get_rect().x - scaled(view_inset, form_.get_scale()) - view_->get_rect().x;
    if (view_->content_height() > view_->get_rect().h && clear_width < summary_->width()) {
        summary_->set_width(clear_width);
        summary_->fill(order);
    }
}

void panel_order_offer::update_buttons() {
    if (!view_) {
        return;
    }
    view_->show_scroll_buttons(*up_, *down_);
}

// --- buttons and keys

void panel_order_offer::on_accept() {
    controller* c = controller::instance();
    if (!shown_ || !c) {
        return;
    }
    form_.lock();
    accepting_ = true;
    lost_accept_.clear();
    c->order_offer_accept(shown_->s_order_id);
}

void panel_order_offer::on_reject() {
    controller* c = controller::instance();
    if (!shown_ || !c) {
        return;
    }
    if (shown_->fineable) {
        // The warning sends the refusal itself.
        form_.push_panel(panel_ids::offer_rejection);
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
    if (mask.test(zel_api::key::disconnect_local)) {
        // The server may close this offer while the link is down and never say so: the offer is dead for a
        // refusal of "Взять заказ" unless a new one comes.
        outlived_ = current_offer();
        if (accepting_ && shown_) {
            // The accept's answer goes with the link: the server's list of the driver's orders will tell.
            lost_accept_ = shown_->s_order_id;
        }
        accepting_ = false; // the manager unlocks
    }
    if (mask.test(zel_api::key::order_offer)) {
        // At once, not at the next tick: the buttons must never answer an offer that is not drawn.
        offer_text();
    }
    const auto* accepted = mask.result_of(zel_api::key::order_offer_accept);
    if (accepted && accepted->ok) {
        accepting_ = true; // its lock is released here
        taken();
    } else if (accepted) {
        // Refused: the status strip releases the accept's lock.
        accepting_ = false;
        lost_accept_.clear();
        if (shown_ && shown_ == outlived_) {
            log(logger::warning, L"panel_order_offer: the accept of an offer no longer offered was refused");
            leave();
        }
    } else if (const auto* refused = mask.result_of(zel_api::key::order_offer_reject); refused && refused->ok) {
        form_.unlock();
        form_.pop_to_first();
    }
    // The accept's answer lost with the link, the server's list tells (before the drop or after the reconnect):
    // the order is the driver's already.
    if (mask.test(zel_api::key::order) || mask.test(zel_api::key::cmd_result) ||
        mask.test(zel_api::key::disconnect_local)) {
        if (lost_accept_taken()) {
            taken();
        }
    }
    if (mask.test(zel_api::key::order_offer_timeout)) {
        form_.push_panel(panel_ids::offer_timeout);
    }
    if (mask.test(zel_api::key::order_offer_cancel)) {
        form_.push_panel(panel_ids::offer_closed);
    }
}

bool panel_order_offer::lost_accept_taken() const {
    return shown_ && !lost_accept_.empty() && shown_->s_order_id == lost_accept_ && order_is_current();
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
