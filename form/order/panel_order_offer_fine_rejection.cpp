#include "form/order/panel_order_offer_fine_rejection.h"

#include "api/command/received/order_offer.h"
#include "controller/controller.h"
#include "form/caption_value_box.h"
#include "form/manager_2.h"
#include "form/offer_take_button.h"
#include "form/text_label.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr double button_height = 117.0;
constexpr double button_width = 220.0;
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
    const int bh = static_cast<int>(s * static_cast<float>(button_height));
    const int bw = static_cast<int>(s * static_cast<float>(button_width));
    const int q = C.w / 4;
    const int y = static_cast<int>(static_cast<float>(C.y - bh + C.h) - s * static_cast<float>(margin));
    back_ =
        std::make_unique<offer_back_button>(&form_, rect{C.x + q - bw / 2, y, bw, bh}, [this] { on_back_button(); });
    add_control(back_.get(), 1);
    // "Отказаться" stands where the offer has "Взять заказ", "Назад" where it has "Отказаться".
    reject_ = std::make_unique<offer_reject_button>(&form_, rect{C.x + C.w / 2 + q - bw / 2, y, bw, bh},
                                                    [this] { on_confirm_reject(); });
    add_control(reject_.get(), 1);
    title_ = make_title(L"ЕСЛИ ВЫ ОТКАЖЕТЕСЬ ОТ ЗАКАЗА.");
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
    back_.reset();
    reject_.reset();
    title_.reset();
    boxes_.rating.reset();
    boxes_.roubles.reset();
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
    if (mask.test(L"order-offer")) {
        // At once: "Отказаться" must never answer an offer that is not drawn.
        on_countdown_tick();
    }
    if (mask.test(L"cmd-result")) {
        const auto& result = mask.payload();
        if (result && result->ok && result->cmd_name == L"order-offer-reject") {
            form_.push_panel(33);
        }
    }
    if (mask.test(L"order-offer-timeout")) {
        form_.push_panel(31);
    }
    if (mask.test(L"order-offer-cancel")) {
        form_.push_panel(32);
    }
}

} // namespace zel::form
