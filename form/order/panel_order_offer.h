// The order offer (panel 30): the order that the dispatch server offers this driver, in the framed box of its
// base, with the title "НАЗНАЧЕН ЗАКАЗ", four corner badges, the offer's text in a scrolling view (pick-up
// address and note, information, price, distance, destinations), "Отказаться" on the left and "Взять заказ"
// with the countdown to the deadline on the right. The status strip pushes it with the offer's "s-order-id";
// every show plays sound 3 and builds everything anew, hide releases it, and a one-second timer fills the
// whole text again from the stored offer.
//
// The offer on screen is the one the buttons act on: each fill keeps the record it drew, "Взять заказ" and a
// refusal send that record's "s-order-id", and a new "order-offer" fills at once, so a tap never answers an
// offer that was not drawn. Every fill draws everything, also past the deadline, where only the countdown
// stays at 00:00 (the server's timeout closes the offer).
//
// The offer's order is laid out by order_summary (its distance shown whenever it came), over the view's whole
// width, or left of the scroll buttons when it is taller than the view; the panel base owns the
// other controls, the panel keeps pointers to those it touches again and the summary, and forgets them in hide.
//
// States (what moves the panel stack):
//   shown --"Взять заказ"--> locked, "order-offer-accept" sent --ok--> popped (back to the panel below)
//   shown --"Отказаться", not fineable--> locked, "order-offer-reject" sent --ok--> stack down to the first panel
//   shown --"Отказаться", fineable--> fine warning (34) pushed, nothing sent
//   shown --"order-offer-timeout" / "order-offer-cancel"--> notice 31 / 32 pushed (both: 31, then 32)
//   shown --no stored offer at show or at a fill--> popped
//   shown --"Взять заказ" sent, its answer lost with the link, then the offer's order listed as the driver's
//           current order--> popped, as on the accept's "ok" (an order listed as the driver's otherwise, say
//           already before it was offered, leaves the offer shown until the server ends it)
//   shown --"order-offer-accept" refused, the offer stored before the link was last lost--> popped
// Any other result without "ok" changes nothing here (the strip unlocks; a refused accept holds no lock of the
// panel's any more). Back is handled: it never pops the offer.
// UI thread only.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "form/order/order_summary.h"
#include "form/order/panel_order_offer_fine.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class image_button;
class image_control;
class offer_take_button;
class offer_reject_button;
class scroll_view;
class unit_text;

class panel_order_offer : public panel_order_offer_fine {
public:
    static constexpr int id = panel_ids::order_offer;

    // The corner badges, in order_badge's order: cashless ("icl" 1), trade, option 0x20 of "of", "osid" 5.
    enum badge { cashless, trade, option, osid5, badge_count };

    explicit panel_order_offer(manager_2& form);
    ~panel_order_offer() override;

    int panel_id() const override {
        return id;
    }
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;
    void on_command(const zel_api::update_mask& mask) override;
    // The parameter is the offered order's "s-order-id" (a text_param).
    void show(const panel_param* param) override;
    void hide() override;

    // Callbacks: the buttons and the refresh timer.
    void on_accept();
    void on_reject();
    void on_scroll_up();
    void on_scroll_down();
    void refresh_text();
    // Fills the countdown, the buttons, the badges and the text from the stored offer.
    void offer_text();
    // The scroll buttons shown and enabled exactly when the view can move that way.
    void update_buttons();

    // Tests look at these while the panel is shown (null otherwise).
    offer_take_button* take_button() const {
        return take_;
    }
    offer_reject_button* reject_button() const {
        return reject_;
    }
    image_control* badge_control(badge b) const {
        return badges_[b];
    }
    scroll_view* text_view() const {
        return view_;
    }
    image_button* scroll_up_button() const {
        return up_;
    }
    image_button* scroll_down_button() const {
        return down_;
    }
    // The offer drawn last: the one the buttons answer.
    const offer_ptr& shown_offer() const {
        return shown_;
    }
    int refresh_timer() const {
        return timer_;
    }

private:
    void build_controls();
    // Lays the order out in the view, in a column narrowed to keep clear of the scroll buttons when it scrolls.
    void fill_summary(const zel_api::command::order& order);
    // Pops once; later fills before the switch pop nothing more.
    void leave();
    // The offer's order among the driver's current orders.
    bool order_is_current() const;
    // The offer's order is the driver's after an accept of it whose answer the lost link took.
    bool lost_accept_taken() const;
    // Leaves as a successful accept does, releasing the lock of an accept on its way.
    void taken();

    // The title's picture, kept from show to show.
    std::shared_ptr<Image> title_image_;

    // The controls touched after show (owned by the panel base) and the order's summary in the view.
    offer_reject_button* reject_ = nullptr;
    offer_take_button* take_ = nullptr;
    std::array<image_control*, badge_count> badges_{};
    scroll_view* view_ = nullptr;
    image_button* up_ = nullptr;
    image_button* down_ = nullptr;
    std::unique_ptr<order_summary<unit_text>> summary_;

    offer_ptr shown_;
    // The offer stored when the link was last lost.
    offer_ptr outlived_;
    // An accept on its way (its lock held), and the order id of an accept whose answer the lost link took.
    bool accepting_ = false;
    std::wstring lost_accept_;
    int timer_ = -1;
    bool leaving_ = false;
};

} // namespace zel::form
