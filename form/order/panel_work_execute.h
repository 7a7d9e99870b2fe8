// The ride with the client on board (panel 24): the running taximeter's sum, time and distance once a second,
// the waiting switch, the finish button, and below them three tabs: the tariff of the current order, and
// either the orders the driver may take next ("ЗАКАЗЫ", or "МОИ ЗАКАЗЫ" while the driver has an own order of
// list 3) or, without a parking area in the session, the parking areas ("РАЙОНЫ"). Finish turns the
// taximeter's figures into the bill record and pushes the bill (25); a tapped area row sends "set-parking".
// Show makes every control through the panel base, which destroys them at the clear after hide; the panel keeps
// pointers to the ones it touches again and forgets them in hide, where it also kills the one-second timer. The
// images, the tab group, the row sources and the tariff (a child of the tariff's scroll view, not of the panel)
// live from show to hide. The taximeter runs on its own, started and stopped by the store; the panel shows only
// what it measures: a stopped taximeter reads 0 on its clock, and the waiting switch does not stay on while none
// runs.
//
// The scroll buttons move the open list; on the tariff tab they move the tariff and show only while it can
// scroll their way (a tariff taller than its view).
//
// A tapped list row acts on the record that row drew: the row sources keep their own rows, and a row no
// longer there (the store emptied by a reconnect) does nothing.
//
// States (what moves the panel stack):
//   shown --finish, a current order--> bill record stored, 25 pushed (the taximeter keeps running); a finish
//     while the bill is already on top does nothing
//   shown --area row tapped--> locked, "set-parking" sent --any "cmd-result" of it--> unlocked
//   shown --order row tapped--> 12 pushed with (list kind, order "s-id")
//   shown --"odel", no current order left--> first panel (a parking area set), else the area list 9
// UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "api/update_mask.h"
#include "form/drawing/geometry.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class Image;
class caption_radio_button;
class icon_button;
class image_button;
class list_view;
class manager_2;
class progress_switch;
class radio_group;
class ride_areas_list;
class ride_orders_list;
class ride_rows_widget;
class scroll_view;
class tariff_widget;
class taximeter_display;

class panel_work_execute : public panel_base {
public:
    static constexpr int id = panel_ids::ride;

    explicit panel_work_execute(manager_2& form);
    ~panel_work_execute() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    // Callbacks of the controls and the timer.
    void on_taximeter_switch(int was_on);
    void finish_ride();
    void on_tab_tariff();
    void on_tab_orders();
    void on_tab_areas();
    // The scroll buttons: the tariff while its tab is open, else both lists as the arrow keys do.
    void on_scroll_up();
    void on_scroll_down();
    void on_area_click(int row);
    void on_order_click(int row);
    void taximeter_view_text();
    void update_orders_tab_caption();
    void refresh_lists();

    // The status picture of an order's "st".
    static int status_image_id(int32_t st);

    // Tests look at these while the panel is shown (null otherwise).
    caption_radio_button* tariff_tab() const {
        return tab_tariff_;
    }
    caption_radio_button* orders_tab() const {
        return tab_orders_;
    }
    caption_radio_button* areas_tab() const {
        return tab_areas_;
    }
    list_view* areas_view() const {
        return areas_view_;
    }
    list_view* orders_view() const {
        return orders_view_;
    }
    ride_areas_list* areas_source() const {
        return areas_source_.get();
    }
    ride_orders_list* orders_source() const {
        return orders_source_.get();
    }
    progress_switch* waiting_switch() const {
        return switch_;
    }
    icon_button* finish_button() const {
        return finish_;
    }
    taximeter_display* display() const {
        return display_;
    }
    ride_rows_widget* ride_rows() const {
        return rows_;
    }
    tariff_widget* tariff() const {
        return tariff_.get();
    }
    scroll_view* tariff_view() const {
        return view_;
    }
    image_button* scroll_up_button() const {
        return up_;
    }
    image_button* scroll_down_button() const {
        return down_;
    }

protected:
    // The part of the work rectangle that holds the figures, and the part that holds the tabs and lists.
    struct areas {
        rect ride;
        rect lists;
        bool tabs_below_ride = true;
    };
    virtual areas layout_areas() const;

    manager_2& form_;

private:
    using picture = std::shared_ptr<Image>;

    void build_controls();
    void fill_tariff();
    // While the tariff tab is open, each scroll button shows exactly when the tariff can scroll its way.
    void update_tariff_scroll_buttons();
    void release();

    picture frame_image_;    // 2115
    picture finish_image_;   // 2159
    picture finish_pressed_; // 2160
    picture finish_icon_;    // 1056
    picture tab_image_;      // 7052
    picture tab_on_;         // 7047
    picture tab_off_;        // 7048
    picture up_image_;
    picture up_pressed_;
    picture down_image_;
    picture down_pressed_;
    picture status_image_;

    // Controls the panel base owns, while shown (null otherwise).
    taximeter_display* display_ = nullptr;
    ride_rows_widget* rows_ = nullptr;
    progress_switch* switch_ = nullptr;
    icon_button* finish_ = nullptr;
    caption_radio_button* tab_tariff_ = nullptr;
    caption_radio_button* tab_orders_ = nullptr;
    caption_radio_button* tab_areas_ = nullptr;
    list_view* areas_view_ = nullptr;
    list_view* orders_view_ = nullptr;
    image_button* up_ = nullptr;
    image_button* down_ = nullptr;
    scroll_view* view_ = nullptr;

    std::unique_ptr<radio_group> tabs_;
    std::unique_ptr<ride_areas_list> areas_source_;
    std::unique_ptr<ride_orders_list> orders_source_;
    // The tariff view's child, not listed on the panel.
    std::unique_ptr<tariff_widget> tariff_;
    int timer_ = -1;
    // The orders rows are the driver's own orders of list 3 (kind 3), else list 1.
    int32_t orders_kind_ = 1;
};

} // namespace zel::form
