// panel_work_card: the shape shared by the on-the-way screen (21) and the waiting screen (22): two tabs
// ("ЗАКАЗ", "ТАЙМЕР", neither does anything), the order card of the current order under them, "Отменить"
// (does nothing) and the screen's own action button; portrait: the buttons side by side at the bottom;
// landscape (the twins override place() with place_in_columns()): a left column with the tabs and the card, a
// right column with the buttons stacked at the bottom. The controls are made through the panel base at show
// and destroyed by the clear after hide; the panel keeps pointers to the card and the two buttons while shown.
//
// At show it holds the current order and fills the card from it; a one-second timer writes the minutes and
// seconds since the order's status stamp (the screen's own status), "0000" while the stamp is another order's.
// On "order" it finds the held order again (controller::find_order(4, its "s-id")): the store copies on write,
// so the held record never changes under it; an order no longer current keeps its last copy until "odel"
// decides. A fill whose order has reached the next status moves on without a tap.
//
// States (what moves the panel stack; every move happens once a show, later ones are ignored):
//   shown --action--> locked, the request sent --"cmd-result" ok naming it--> first panel + next panel
//   shown --a fill with "s" = next status--> first panel + next panel
//   shown --"odel" and no current order--> first panel (a parking area is set) or first panel + area list 9
//   shown --a fill with no order held--> first panel
// Every "cmd-result" unlocks. UI thread only; records are read through the controller as shared copies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "api/database.h"
#include "form/shell/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class frame_image_button;
class order_card;
class radio_group;

class panel_work_card : public panel_base {
public:
    using order_ptr = zel_api::record_ptr<zel_api::command::order>;

    ~panel_work_card() override;

    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    // Callbacks: the action button, the one-second timer.
    void on_action();
    void on_timer_tick();
    // Fills the card from the held order, or moves on (see the table above).
    void fill_order_info();

    // Tests look at these while the panel is shown (null otherwise).
    order_card* card() const {
        return card_;
    }
    frame_image_button* action_button() const {
        return action_;
    }
    frame_image_button* cancel_button() const {
        return cancel_;
    }
    const order_ptr& held_order() const {
        return held_;
    }
    int tick_timer() const {
        return timer_;
    }
    // "MMSS" of a count of seconds, each part at least two digits ("0105"; 100 minutes make five characters).
    static std::wstring elapsed_text(int64_t seconds);

    // What the two screens set apart.
    struct screen {
        int action_icon;       // 1053 or 1054
        const wchar_t* action; // the action button's caption
        int timer_tab_on;      // the "ТАЙМЕР" tab's pictures
        int timer_tab_off;
        const wchar_t* caption; // the card's caption, portrait and landscape
        const wchar_t* caption_hor;
        unsigned background; // portrait, and the landscape left column (0xRRGGBB)
        unsigned background_left_hor;
        int32_t next_status; // the order's "s" that moves on
        int next_panel;
        std::wstring_view command; // the action's command name (a zel_api::key)
    };

protected:
    panel_work_card(manager_2& form, const screen& kind);

    // Where the controls go, the card's caption and the background's columns.
    struct layout {
        rect cancel;
        rect action;
        rect order_tab;
        rect timer_tab;
        rect card;
        const wchar_t* caption = nullptr;
        // Landscape: the left column ends at column_x, where the two rules stand; portrait: one background.
        bool columns = false;
        int column_x = 0;
    };
    // The portrait layout of the work rectangle; the landscape twins return place_in_columns().
    virtual layout place() const;
    layout place_in_columns() const;

    // The screen's status stamp.
    virtual zel_api::status_stamp stamp() const = 0;
    // Sends the action's request for the order.
    virtual void send_action(const std::wstring& order_id) = 0;
    // No current order at show: 21 keeps its empty card, 22 goes back.
    virtual void no_order_at_show() {}
    // After the card was filled from the order (22 shows the call button).
    virtual void filled(const zel_api::command::order&) {}
    // The card's call button.
    virtual void on_call() {}

    // Pops to the first panel and pushes the id, once a show.
    void move_on(int id);
    void leave_to_first();
    // Pops back to the panel below, once a show.
    void leave_back();

    manager_2& form_;
    const screen kind_;

private:
    void build_controls();

    std::shared_ptr<Image> cancel_image_;
    std::shared_ptr<Image> action_image_;
    std::shared_ptr<Image> order_tab_on_;
    std::shared_ptr<Image> order_tab_off_;
    std::shared_ptr<Image> timer_tab_on_;
    std::shared_ptr<Image> timer_tab_off_;

    // Owned by the panel base while shown (null otherwise).
    frame_image_button* cancel_ = nullptr;
    frame_image_button* action_ = nullptr;
    order_card* card_ = nullptr;
    std::unique_ptr<radio_group> tabs_;

    order_ptr held_;
    zel_api::status_stamp stamp_;
    int timer_ = -1;
    bool leaving_ = false;
    // The background's columns, from the last show's layout.
    bool columns_ = false;
    int column_x_ = 0;
};

} // namespace zel::form
