// The fine warning (panel 34): "ЕСЛИ ВЫ ОТКАЖЕТЕСЬ ОТ ЗАКАЗА." with the fine a refusal costs (rating and roubles),
// "Назад" on the left with the countdown to the offer's deadline (00:00 once it passed) and "Отказаться" on the
// right, where the offer has "Взять заказ". The offer pushes it when the driver refuses a fineable offer.
//
// Like the offer it answers the offer on screen: each fill (show, the one-second tick, a new "order-offer")
// reads the stored offer, draws its fine and countdown and keeps it, and "Отказаться" sends that record's
// "s-order-id".
//
// States:
//   shown --"Назад"--> popped (the offer is shown afresh)
//   shown --"Отказаться"--> locked, "order-offer-reject" sent --ok--> notice 33 pushed
//   shown --"order-offer-timeout" / "order-offer-cancel"--> notice 31 / 32 pushed
//   no stored offer at show --> popped, nothing made
// A refusal answered without "ok" leaves the warning and its countdown as they are (the strip unlocks). Back is
// handled. UI thread only.
#pragma once

#include <memory>

#include "form/order/panel_order_offer_fine.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class offer_back_button;
class offer_reject_button;

class panel_order_offer_fine_rejection : public panel_order_offer_fine {
public:
    explicit panel_order_offer_fine_rejection(manager_2& form);
    ~panel_order_offer_fine_rejection() override;

    static constexpr int id = panel_ids::offer_rejection;

    int panel_id() const override {
        return id;
    }
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    // "Назад" (the panel's own on_back answers the manager's back action).
    void on_back_button();
    void on_confirm_reject();
    // Fills the countdown, the buttons' ratings and the fine boxes from the stored offer.
    void on_countdown_tick();

    // Tests look at these while the warning is shown.
    offer_back_button* back_button() const {
        return back_;
    }
    offer_reject_button* reject_button() const {
        return reject_;
    }
    caption_value_box* rating_box() const {
        return boxes_.rating;
    }
    caption_value_box* roubles_box() const {
        return boxes_.roubles;
    }
    const offer_ptr& shown_offer() const {
        return shown_;
    }
    int countdown_timer() const {
        return timer_;
    }

private:
    // Owned by the panel base; forgotten in hide.
    offer_back_button* back_ = nullptr;
    offer_reject_button* reject_ = nullptr;
    fine_boxes boxes_;
    offer_ptr shown_;
    int timer_ = -1;
};

} // namespace zel::form
