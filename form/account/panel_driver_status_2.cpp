#include "form/account/panel_driver_status_2.h"

#include "api/command/received/cars.h"
#include "api/command/received/cmd_result.h"
#include "api/command/received/session_param.h"
#include "controller/controller.h"
#include "form/account/car_param.h"
#include "form/manager_2.h"

namespace zel::form {

namespace {

constexpr int area_list_id = 9;
constexpr int parking_list_id = 10;
constexpr int car_panel_id = 20;
constexpr int ride_panel_id = 24;

enum row : int { parking_row, taximeter_row, lunch_row, repair_row };

constexpr int32_t off_shift = -2;
constexpr int32_t at_lunch = 2;
constexpr int32_t under_repair = 3;
constexpr int32_t working = 4;
constexpr int32_t ordinary = 0;

controller_::controller* ctl() {
    return controller_::controller::instance();
}

} // namespace

panel_driver_status_2::panel_driver_status_2(manager_2& form) : panel_menu_list(form) {}

panel_driver_status_2::~panel_driver_status_2() = default;

void panel_driver_status_2::show(const panel_param*) {
    confirmed_ = false;
    show_menu({{1033, L"Выбрать стоянку"}, {1039, L"Таксометр"}, {1027, L"На обеде"}, {1036, L"На ремонте"}});
    rows_rule();
}

void panel_driver_status_2::hide() {
    confirmed_ = false;
    hide_menu();
}

void panel_driver_status_2::rows_rule() {
    const auto* c = ctl();
    const auto session = c ? c->get_session_param() : nullptr;
    // Without a status the rows keep what they last showed.
    if (!session || !session->driver_status) {
        return;
    }
    switch (*session->driver_status) {
    case off_shift:
        set_row(taximeter_row, L"Таксометр", true);
        set_row(lunch_row, L"На обеде", false);
        set_row(repair_row, L"На ремонте", false);
        break;
    case at_lunch:
        set_row(taximeter_row, L"Таксометр", false);
        set_row(lunch_row, L"Закончить обед", true);
        set_row(repair_row, L"На ремонте", false);
        break;
    case under_repair:
        set_row(taximeter_row, L"Таксометр", false);
        set_row(lunch_row, L"На обеде", false);
        set_row(repair_row, L"Закончить ремонт", true);
        break;
    default:
        set_row(taximeter_row, L"Таксометр", true);
        set_row(lunch_row, L"На обеде", true);
        set_row(repair_row, L"На ремонте", true);
        break;
    }
    set_row(parking_row, L"Выбрать стоянку", true);
    repaint_rows();
}

// After a successful status request: to the ride panel when an order is current, else to the first panel.
void panel_driver_status_2::leave() {
    confirmed_ = false;
    const auto* c = ctl();
    if (c && c->get_current_order()) {
        form_.pop_to_first_quiet();
        form_.push_panel(ride_panel_id);
    } else {
        form_.pop_to_first();
    }
}

void panel_driver_status_2::send_status(int32_t status) {
    if (auto* c = ctl()) {
        requested_ = status;
        confirmed_ = false;
        form_.lock();
        c->set_driver_status(status);
    }
}

void panel_driver_status_2::row_clicked(int row) {
    const auto* c = ctl();
    const auto session = c ? c->get_session_param() : nullptr;
    switch (row) {
    case parking_row: {
        if (!session) {
            return;
        }
        if (session->area_id && *session->area_id != 0) {
            const int32_t type = c->get_area_type(*session->area_id);
            if (type == 1 || type == 4) {
                form_.push_panel(area_list_id);
            } else if (type == 2) {
                form_.push_panel(parking_list_id, make_number_param(*session->area_id));
            }
        } else {
            form_.push_panel(area_list_id);
        }
        return;
    }
    case taximeter_row: {
        const auto cars = c ? c->get_cars() : nullptr;
        if (session && cars && session->driver_status && *session->driver_status == off_shift &&
            cars->freecars.size() > 1) {
            form_.push_panel(car_panel_id, std::make_shared<car_param>(car_param::change_car, 0));
        } else {
            send_status(working);
        }
        return;
    }
    case lunch_row:
        if (session && session->driver_status) {
            send_status(*session->driver_status == at_lunch ? ordinary : at_lunch);
        }
        return;
    case repair_row:
        if (session && session->driver_status) {
            send_status(*session->driver_status == under_repair ? ordinary : under_repair);
        }
        return;
    default:
        return;
    }
}

void panel_driver_status_2::on_command(const zel_api::update_mask& mask) {
    if (mask.test(L"cmd-result")) {
        if (const auto& result = mask.payload(); result && result->cmd_name == L"set-driver-status") {
            const auto* c = ctl();
            const auto session = c ? c->get_session_param() : nullptr;
            const bool status_in = session && session->driver_status && *session->driver_status == requested_;
            if (result->ok && status_in) {
                leave();
            } else if (result->ok) {
                // The new status, with the free ride's order of the taximeter status or the removal of an order,
                // may come in a packet after the result: the next packet with the session or orders decides.
                confirmed_ = true;
            }
            form_.unlock();
        }
    } else if (confirmed_ && (mask.test(L"session-param") || mask.test(L"order") || mask.test(L"odel"))) {
        leave();
        return;
    }
    if (mask.test(L"disconnect_local")) {
        form_.unlock();
    }
    rows_rule();
}

} // namespace zel::form
