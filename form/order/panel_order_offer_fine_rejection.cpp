#include "form/order/panel_order_offer_fine_rejection.h"

#include "api/command/received/order_offer.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/order/caption_value_box.h"
#include "form/order/offer_take_button.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr double margin = 15.0;

} // namespace

panel_order_offer_fine_rejection::panel_order_offer_fine_rejection(manager_2& form) : panel_order_offer_fine(form) {}

panel_order_offer_fine_rejection::~panel_order_offer_fine_rejection() = default;

void panel_order_offer_fine_rejection::show(const panel_param*) {
    shown_.reset();
    layout();
    if (!current_offer()) {
        log(logger::warning, L"panel_order_offer_fine_rejection::show: no offer stored");
        form_.pop_panel();
        return;
    }
    const float s = form_.get_scale();
    const rect& C = content_rect();
    const int bh = scaled(action_button_height, s);
    const int bw = scaled(action_button_width, s);
    const int q = C.w / 4;
    const int y = static_cast<int>(static_cast<float>(C.y - bh + C.h) - s * static_cast<float>(margin));
    back_ = &add<offer_back_button>(1, &form_, rect{C.x + q - bw / 2, y, bw, bh}, [this] { on_back_button(); });
    // "Отказаться" stands where the offer has "Взять заказ", "Назад" where it has "Отказаться".
    reject_ = &add<offer_reject_button>(1, &form_, rect{C.x + C.w / 2 + q - bw / 2, y, bw, bh},
                                        [this] { on_confirm_reject(); });
    make_title(L"ЕСЛИ ВЫ ОТКАЖЕТЕСЬ ОТ ЗАКАЗА.");
    boxes_ = make_fine_boxes();
    timer_ = form_.set_timer(1, [this] { on_countdown_tick(); });
    on_countdown_tick();
}

void panel_order_offer_fine_rejection::hide() {
    release_images();
    if (timer_ != -1) {
        form_.kill_timer(timer_);
        timer_ = -1;
    }
    back_ = nullptr;
    reject_ = nullptr;
    boxes_ = {};
    shown_.reset();
}

void panel_order_offer_fine_rejection::on_countdown_tick() {
    if (!back_) {
        return; // not shown
    }
    const offer_ptr offer = current_offer();
    if (!offer) {
        return;
    }
    shown_ = offer;
    back_->set_time_text(countdown_text(seconds_left(*offer)));
    back_->set_badge_text(reward_text(offer->reward_rating));
    reject_->set_badge_text(fine_text(offer->fine_rating));
    fill_fine_boxes(boxes_, *offer);
}

void panel_order_offer_fine_rejection::on_back_button() {
    form_.pop_panel();
}

void panel_order_offer_fine_rejection::on_confirm_reject() {
    controller* c = controller::instance();
    if (!shown_ || !c) {
        return;
    }
    form_.lock();
    c->order_offer_reject(shown_->s_order_id);
}

void panel_order_offer_fine_rejection::on_command(const zel_api::update_mask& mask) {
    if (mask.test(zel_api::key::order_offer)) {
        // At once: "Отказаться" must never answer an offer that is not drawn.
        on_countdown_tick();
    }
    if (const auto* refused = mask.result_of(zel_api::key::order_offer_reject); refused && refused->ok) {
        form_.push_panel(panel_ids::offer_final_rejection);
    }
    if (mask.test(zel_api::key::order_offer_timeout)) {
        form_.push_panel(panel_ids::offer_timeout);
    }
    if (mask.test(zel_api::key::order_offer_cancel)) {
        form_.push_panel(panel_ids::offer_closed);
    }
}

} // namespace zel::form
