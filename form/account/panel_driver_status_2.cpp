#include "form/account/panel_driver_status_2.h"

#include "api/command/received/cars.h"
#include "api/command/received/cmd_result.h"
#include "api/command/received/ref_area.h"
#include "api/command/received/session_param.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/car_param.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

namespace area_type = zel_api::command::area_type;
namespace key = zel_api::key;
namespace driver_status = zel_api::command::driver_status;

namespace {

enum row : int { parking_row, taximeter_row, lunch_row, repair_row };

controller_::controller* ctl() {
    return controller_::controller::instance();
}

} // namespace

panel_driver_status_2::panel_driver_status_2(manager_2& form) : panel_menu_list(form) {}

panel_driver_status_2::~panel_driver_status_2() = default;

void panel_driver_status_2::show(const panel_param*) {
    stop_settle_timer();
    show_menu({{1033, L"Выбрать стоянку"}, {1039, L"Таксометр"}, {1027, L"На обеде"}, {1036, L"На ремонте"}});
    rows_rule();
}

void panel_driver_status_2::hide() {
    stop_settle_timer();
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
    case driver_status::off_shift:
        set_row(taximeter_row, L"Таксометр", true);
        set_row(lunch_row, L"На обеде", false);
        set_row(repair_row, L"На ремонте", false);
        break;
    case driver_status::at_lunch:
        set_row(taximeter_row, L"Таксометр", false);
        set_row(lunch_row, L"Закончить обед", true);
        set_row(repair_row, L"На ремонте", false);
        break;
    case driver_status::under_repair:
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
    stop_settle_timer();
    const auto* c = ctl();
    if (c && c->get_current_order()) {
        form_.pop_to_first_quiet();
        form_.push_panel(panel_ids::ride);
    } else {
        form_.pop_to_first();
    }
}

void panel_driver_status_2::stop_settle_timer() {
    if (settle_timer_ != -1) {
        form_.kill_timer(settle_timer_);
        settle_timer_ = -1;
    }
}

void panel_driver_status_2::send_status(int32_t status) {
    if (auto* c = ctl()) {
        requested_ = status;
        stop_settle_timer();
        session_since_request_ = false;
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
            if (type == area_type::parking || type == area_type::outlying) {
                form_.push_panel(panel_ids::area_list);
            } else if (type == area_type::district) {
                form_.push_panel(panel_ids::park_list, make_number_param(*session->area_id));
            }
        } else {
            form_.push_panel(panel_ids::area_list);
        }
        return;
    }
    case taximeter_row: {
        const auto cars = c ? c->get_cars() : nullptr;
        if (session && cars && session->driver_status && *session->driver_status == driver_status::off_shift &&
            cars->freecars.size() > 1) {
            form_.push_panel(panel_ids::set_car, std::make_shared<car_param>(car_param::change_car, 0));
        } else {
            send_status(driver_status::working);
        }
        return;
    }
    case lunch_row:
        if (session && session->driver_status) {
            send_status(*session->driver_status == driver_status::at_lunch ? driver_status::ordinary
                                                                           : driver_status::at_lunch);
        }
        return;
    case repair_row:
        if (session && session->driver_status) {
            send_status(*session->driver_status == driver_status::under_repair ? driver_status::ordinary
                                                                               : driver_status::under_repair);
        }
        return;
    default:
        return;
    }
}

void panel_driver_status_2::on_command(const zel_api::update_mask& mask) {
    if (mask.test(key::session_param)) {
        session_since_request_ = true;
    }
    if (mask.test(key::cmd_result)) {
        if (const auto* result = mask.result_of(key::set_driver_status)) {
            const auto* c = ctl();
            const auto session = c ? c->get_session_param() : nullptr;
            const bool status_in = session && session->driver_status && *session->driver_status == requested_;
            if (result->ok && (status_in || session_since_request_)) {
                // The server has told the session since the request: whatever status it shows, the granted one
                // leads on.
                leave();
            } else if (result->ok) {
                // The new status, with the free ride's order of the taximeter status or the removal of an order,
                // may come in a packet after the result: the next packet with the session or orders decides,
                // or the settle's end when none comes.
                stop_settle_timer();
                settle_timer_ = form_.set_timer(settle_seconds, [this] { leave(); });
            }
            form_.unlock();
        }
    } else if (settle_timer_ != -1 && (mask.test(key::session_param) || mask.test(key::order) || mask.test(key::odel))) {
        leave();
        return;
    }
    if (mask.test(key::disconnect_local)) {
        form_.unlock();
    }
    rows_rule();
}

} // namespace zel::form
