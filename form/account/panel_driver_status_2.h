// panel_driver_status_2 (8): the driver's status as a menu list: "Выбрать стоянку" (the area or parking list),
// "Таксометр" (work with the taximeter, status 4; not on a shift with two or more free cars, the car panel to
// change the car first), lunch and repair, each of which becomes its own end while the driver is at it. The rows
// follow the session's "driver-status" on show and after every command:
//
//   status      parking   taximeter   row 3                        row 4
//   -2          on        on          "На обеде", off              "На ремонте", off
//   2 lunch     on        off         "Закончить обед", on (0)     off
//   3 repair    on        off         off                          "Закончить ремонт", on (0)
//   other       on        on          "На обеде", on (2)           "На ремонте", on (3)
//
// A status request locks the GUI until its "cmd-result" (or a lost connection) unlocks it; success returns to
// the first panel, or to the ride panel when an order is current, whatever status the session then shows. A
// server may send the new status, the free ride's order or an order's removal in a packet after the result: a
// success that comes before any session since the request, with the session not showing the requested status,
// waits for the next packet with the session or orders, at most settle_seconds, and then decides the same way.
// UI thread only.
//
//   idle --row--> asking (locked) --ok, the status shown or a session since the request--> leave
//                                 --ok otherwise--> confirmed --next session / "order" / "odel" packet, or
//                                                               settle_seconds--> leave
//                                 --refused--> idle            (each result and a lost link unlock once)
#pragma once

#include "form/account/panel_menu_list.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_driver_status_2 : public panel_menu_list {
public:
    static constexpr int id = panel_ids::driver_status;

    explicit panel_driver_status_2(manager_2& form);
    ~panel_driver_status_2() override;

    int panel_id() const override {
        return id;
    }
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;
    void row_clicked(int row) override;

    // How long a success waits for the records that show what it changed.
    static constexpr unsigned settle_seconds = 5;

private:
    void rows_rule();
    void send_status(int32_t status);
    void leave();
    void stop_settle_timer();

    // The status last requested, and whether a session came since it was sent.
    int32_t requested_ = 0;
    bool session_since_request_ = false;
    // Runs while a success that came before the records that show it waits for them; -1 when none runs.
    int settle_timer_ = -1;
};

} // namespace zel::form
