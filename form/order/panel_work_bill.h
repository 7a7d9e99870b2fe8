// The bill (panel 25): the finished ride's sheet (pick-up and last destination, distance, trip time, taximeter
// sum, downtime, total) read from the bill record that the ride panel stored, the edit button that opens the
// close-order parameters (28) when the tariff mode lets the driver correct figures, and "Завершить заказ",
// which hands the close to the controller's order_close (it builds and sends "close-order", keeps the ride's
// records and writes or drops them on the result). While the bill is shown the ride's taximeter is paused.
// The close's end reaches the panel through post_to_ui wherever the driver is; the panel then unlocks and, once
// the order is closed or gone, leaves once by the after-close rule (leave). The figures drawn are held within
// what their boxes can show: a figure that is not finite shows as 0.
//
// States:
//   shown --finish, total below the minimum--> message "Минимальная сумма ..." --Ok--> shown
//   shown --finish, "cts" above 0--> question "Клиент воспользовался скидкой ..." --answer--> closing
//   shown --finish otherwise--> closing: locked, "close-order" sent
//   closing --accepted, the order still listed--> closing, a wait of settle_seconds begun
//   closing --closed, or the wait over--> unlocked, leave (or, under a panel pushed over the bill, leave when
//              the bill is shown again)
//   closing --refused--> unlocked; leave when the order is gone, else shown
//   closing --link lost--> closing, unlocked by the manager, until the server has had its say after the
//              reconnect (its list of the driver's orders, or the close's settle): the order gone (the close was
//              taken, its answer lost) as closed; still listed: shown again
//   closing --the request never left (no link)--> shown, unlocked by the manager
//   shown --"odel", no current order, not closing, not left yet--> leave_removed
// leave (after a close): another current order -> the first panel; else by the session's "area-id": 0 -> the
// area list 9, an area of type 2 -> its parking list 10, otherwise (or none) -> the first panel.
// leave_removed (the dispatcher removed the order): by the session's "area-id": none or 0 -> the area list 9; an
// area found of type 2 -> its parking list 10, of type 1 -> the first panel, of any other type -> the area list
// 9; an area not found, or no session -> the first panel.
// UI thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "api/command/received/order.h"
#include "api/update_mask.h"
#include "controller/order_close.h"
#include "form/drawing/geometry.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class Image;
class manager_2;
class segmented_button;

class panel_work_bill : public panel_base {
public:
    static constexpr int id = panel_ids::bill;

    explicit panel_work_bill(manager_2& form);
    ~panel_work_bill() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    void go_back();
    void on_edit_params();
    void on_finish();
    void on_discount_answer(int answer);

    segmented_button* edit_button() const {
        return edit_;
    }
    // How long an accepted close waits for its order to leave the driver's orders before the panel leaves.
    static constexpr unsigned settle_seconds = 5;

protected:
    // Where the two buttons go; on a landscape screen also the buttons' column, whose left edge carries the
    // dark rule and, a pixel right of it, the light one.
    struct button_places {
        rect back;
        rect finish;
        bool rules = false;
        rect column;
    };
    // The part of the work rectangle that holds the sheet, and the buttons' places (the sheet's own area when
    // portrait) for buttons bw by bh.
    virtual rect sheet_area() const;
    virtual button_places place_buttons(int bw, int bh) const;
    virtual void paint_columns(Graphics& g, const rect& update);

    manager_2& form_;

private:
    using picture = std::shared_ptr<Image>;

    void close();
    // The close's end, on the UI thread.
    void on_close_over(controller_::order_close::outcome result);
    void stop_settle_timer();
    // The one way out after the order was closed.
    void leave();
    // The way out after the dispatcher removed the order while no close was on its way.
    void leave_removed();
    void release();
    void draw_value(Graphics& g, const rect& row, const std::wstring& value, const std::wstring& unit) const;
    void draw_total(Graphics& g, const rect& r, double value) const;

    picture back_image_;   // 1048
    picture finish_image_; // 1055
    picture sheet_[7];     // 2174 to 2180
    // Owned by the panel base while shown (null otherwise).
    segmented_button* edit_ = nullptr;
    std::shared_ptr<const zel_api::command::order> order_;
    rect pickup_r_, destination_r_, distance_r_, trip_r_, meter_r_, downtime_r_, total_label_r_, total_r_;
    std::wstring pickup_;
    std::wstring destination_;
    int total_ = 0;
    float meter_sum_ = 0;
    int distance_ = 0;
    int trip_seconds_ = 0;
    int downtime_seconds_ = 0;
    int discount_answer_ = 0;
    bool paused_ = false;
    // A close sent and not over: its order's id.
    std::optional<std::wstring> closing_;
    // The close ended while another panel lay over the bill: leave when the bill is shown again.
    bool leave_on_show_ = false;
    // The bill took a way out since it was last shown: a later removal of its order leads nowhere else.
    bool left_ = false;
    int settle_timer_ = -1;
};

} // namespace zel::form
