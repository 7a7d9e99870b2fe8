// The take order panel (12): one order in detail under two tabs, "ЗАКАЗ" (addresses, notes, minimum sum,
// distance, stars, option icons and the time box, in a scrolling view) and "ТАРИФ" (the tariff widget, in a
// second view), with "Назад", "Взять заказ" and "Парковка" below. Its parameter (take_order_param) names the
// list kind and the order. "Взять заказ" locks the GUI and sends "set-driver"; the answer moves the driver on.
// panel_take_order_hor is the landscape twin: the same behaviour in two columns (layout and background only).
//
// It keeps the order and the list kind from show to the next show; the controls and pictures live from show to
// hide: the panel base owns the controls, the panel keeps pointers to those it touches again and forgets them in
// hide. The order's body (addresses, figures, divider, destinations) is laid out by order_summary, below the
// badges, the stars and the time box, with the distance shown only when above 0. The store copies records on write, so
// on every "order" the panel takes its order again from the store (find_order by list kind and id) before composing; an
// order the store no longer holds keeps its last copy here, and "odel" alone gets no reaction: a "set-driver" answer
// that also takes the order off its list must reach the reaction below with the panel still on the stack. UI thread
// only.
//
// "cmd-result" reactions (after composing on "order"):
//   "set-driver" ok, 24 on the stack            -> pop, unlock
//   "set-driver" ok, a current order, kind != 2 -> quiet pop to the first panel, push 21, unlock
//   "set-driver" ok, no current order yet       -> waiting: locked once more (the strip's unlock releases the
//                                                  take's lock), a timer of settle_seconds started
//   waiting --"order" or "odel" packet, or the timer--> moves on by the rules above and below (a server may
//                                                  send the taken order after its result), unlock
//   waiting --hidden (covered or left)-->          the wait ends, unlock
//   "set-driver" ok otherwise                   -> pop to the first panel, unlock
//   failure of another command than "login"     -> nothing (the status strip unlocks)
//   "login" failed                              -> pop when the driver has a current order, unlock
//   anything else                               -> unlock
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "api/command/received/order.h"
#include "form/order/order_summary.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Graphics;
class Image;
class caption_radio_button;
class elapsed_time_box;
class frame_image_button;
class image_button;
class image_control;
class line_control;
class multiline_text;
class radio_group;
class scroll_view;
class tariff_widget;

class panel_take_order : public panel_base {
public:
    using order_ptr = std::shared_ptr<const zel_api::command::order>;

    static constexpr int id = panel_ids::take_order;

    // The order view's pictures and text blocks, for the tests' eyes.
    enum class picture_part { icl, trade, of, osid, star1, star2, star3, distance, divider, count };
    enum class text_part {
        pickup_address,
        pickup_note,
        information,
        minimum_sum,
        rouble_sign,
        kilometre_sign,
        distance,
        destinations,
        count
    };

    explicit panel_take_order(manager_2& form);
    ~panel_take_order() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;
    void on_key_up_arrow() override {
        on_arrow_up();
    }
    void on_key_down_arrow() override {
        on_arrow_down();
    }

    // Fills every control from the kept order; pops the panel when there is none.
    void order_text();
    void update_scroll_buttons();

    // The buttons', tabs' and arrows' callbacks.
    void on_back_button();
    void on_take_order();
    void on_parking();
    void on_tab_order();
    void on_tab_tariff();
    void on_scroll_up();
    void on_scroll_down();
    // The arrow keys move the order view whichever tab is checked, and leave the arrows as they are.
    void on_arrow_up();
    void on_arrow_down();

    // How long a successful "set-driver" waits for the taken order before the result alone decides.
    static constexpr unsigned settle_seconds = 5;

    // The "ТАРИФ" tab's picture for an order without its own rates: by "st", 0 for none.
    static int class_image(const zel_api::command::order& o);

    // Tests look at these (null while hidden).
    const order_ptr& kept_order() const {
        return order_;
    }
    int32_t list_kind() const {
        return list_kind_;
    }
    caption_radio_button* order_tab() const {
        return order_tab_;
    }
    caption_radio_button* tariff_tab() const {
        return tariff_tab_;
    }
    frame_image_button* back_button() const {
        return back_;
    }
    frame_image_button* take_button() const {
        return take_;
    }
    frame_image_button* parking_button() const {
        return parking_;
    }
    scroll_view* order_view() const {
        return order_view_;
    }
    scroll_view* tariff_view() const {
        return tariff_view_;
    }
    image_button* scroll_up_button() const {
        return scroll_up_;
    }
    image_button* scroll_down_button() const {
        return scroll_down_;
    }
    image_control* picture(picture_part part) const;
    multiline_text* text(text_part part) const;
    elapsed_time_box* time_box() const {
        return time_box_.get();
    }
    tariff_widget* tariff() const {
        return tariff_.get();
    }

protected:
    // Where the controls stand: the portrait's layout here, the landscape's in the twin.
    struct layout {
        rect order_tab;
        rect tariff_tab;
        rect back;
        // "Взять заказ" and "Парковка" share it.
        rect take;
        // The content rectangle C of both views.
        rect content;
        // The two separator lines (dark, then light) and their layer.
        rect dark_line;
        rect light_line;
        int line_layer = 1;
    };
    virtual layout place() const;

    manager_2& form_;

private:
    std::shared_ptr<Image> image(int image_id) const;
    void build_order_view(const layout& l);
    void compose_head(const zel_api::command::order& o);
    void compose_icons(const zel_api::command::order& o);
    void apply_button_rule();
    void apply_tariff_values(const zel_api::command::order& o);
    void move_on_taken();
    void end_wait();
    void stop_wait();
    bool awaiting_order() const {
        return wait_timer_ != -1;
    }
    image_control& icon(picture_part part) const {
        return *picture(part);
    }

    std::map<int, std::shared_ptr<Image>> images_;
    order_ptr order_;
    int32_t list_kind_ = 0;
    // The id asked for: the order is looked up again by it.
    std::wstring order_id_;
    // A successful "set-driver" came before any current order while this timer runs: the next packet with
    // orders, or the end of settle_seconds, moves the driver on. -1 when none runs.
    int wait_timer_ = -1;

    // Not a control: the tabs' group lives from show to hide beside them.
    std::unique_ptr<radio_group> tabs_;
    // The controls touched after show (owned by the panel base).
    caption_radio_button* order_tab_ = nullptr;
    caption_radio_button* tariff_tab_ = nullptr;
    frame_image_button* back_ = nullptr;
    frame_image_button* take_ = nullptr;
    frame_image_button* parking_ = nullptr;
    scroll_view* order_view_ = nullptr;
    scroll_view* tariff_view_ = nullptr;
    image_button* scroll_up_ = nullptr;
    image_button* scroll_down_ = nullptr;
    // The views' children, which the views only point at: the badges and the stars (in picture_part's order),
    // the time box and the summary in the order view, the tariff widget in the other.
    std::array<std::unique_ptr<image_control>, static_cast<size_t>(picture_part::distance)> head_pictures_;
    std::unique_ptr<elapsed_time_box> time_box_;
    std::unique_ptr<order_summary<multiline_text>> summary_;
    std::unique_ptr<tariff_widget> tariff_;
};

} // namespace zel::form
