// The controller's request operations (one sent command each, on a request thread), its store access and the
// searches over copies of the store's lists.
#include "controller/controller.h"

#include "api/command/sent/buy_shift.h"
#include "api/command/sent/commit_driver.h"
#include "api/command/sent/driver_arrive.h"
#include "api/command/sent/execute_order.h"
#include "api/command/sent/msg_read.h"
#include "api/command/sent/order_offer_accept.h"
#include "api/command/sent/order_offer_reject.h"
#include "api/command/sent/set_driver.h"
#include "api/command/sent/set_driver_status.h"
#include "api/command/sent/set_option.h"
#include "api/command/sent/set_parking.h"
#include "api/command/sent/set_work_wheel.h"
#include "api/command/sent/shift_begin.h"
#include "api/command/sent/shift_end.h"

#include <algorithm>

namespace zel::controller_ {

using namespace zel_api::command;

// --------------------------------------------------------------------------------------------------- requests

void controller::set_parking(const int64_t& area_id) {
    send_command(std::make_unique<zel_api::command::set_parking>(area_id));
}

void controller::set_driver_status(const int32_t& status_id) {
    send_command(std::make_unique<zel_api::command::set_driver_status>(status_id));
}

void controller::buy_shift(int64_t shift_id) {
    send_command(std::make_unique<zel_api::command::buy_shift>(shift_id));
}

void controller::shift_end() {
    send_command(std::make_unique<zel_api::command::shift_end>());
}

void controller::shift_begin(int64_t area_id, int64_t car_id) {
    send_command(std::make_unique<zel_api::command::shift_begin>(area_id, car_id));
}

void controller::set_work_wheel(int64_t car_id) {
    send_command(std::make_unique<zel_api::command::set_work_wheel>(car_id));
}

void controller::set_driver(const std::wstring& order_id) {
    send_command(std::make_unique<zel_api::command::set_driver>(order_id));
}

void controller::driver_arrive(const std::wstring& order_id) {
    send_command(std::make_unique<zel_api::command::driver_arrive>(order_id));
}

void controller::execute_order(const std::wstring& order_id) {
    database_->set_execute_order(order_id);
    send_command(std::make_unique<zel_api::command::execute_order>(order_id));
}

void controller::commit_driver(const std::wstring& order_id) {
    send_command(std::make_unique<zel_api::command::commit_driver>(order_id));
}

void controller::msg_read(int64_t message_id) {
    send_command(std::make_unique<zel_api::command::msg_read>(static_cast<uint64_t>(message_id)));
}

void controller::set_option_1022(const bool& on) {
    send_command(std::make_unique<set_option>(1022, on ? L"1" : L"2"));
}

void controller::order_offer_accept(const std::wstring& order_id) {
    send_command(std::make_unique<zel_api::command::order_offer_accept>(order_id));
}

void controller::order_offer_reject(const std::wstring& order_id) {
    send_command(std::make_unique<zel_api::command::order_offer_reject>(order_id));
}

// ----------------------------------------------------------------------------------------------- store access

void controller::clear_callsigns() {
    database_->clear_callsigns();
}

gps::taximeter* controller::get_taximeter() const {
    return database_->get_taximeter();
}

zel_api::record_ptr<order> controller::get_current_order() const {
    return database_->get_current_order();
}

zel_api::record_ptr<session_param> controller::get_session_param() const {
    return database_->get_session_param();
}

zel_api::record_ptr<currency> controller::get_currency() const {
    return database_->get_currency();
}

zel_api::record_ptr<obj_update> controller::get_update_info() const {
    return database_->get_update_info();
}

zel_api::record_ptr<session_fix_param> controller::get_session_fix_param() const {
    return database_->get_session_fix_param();
}

zel_api::record_ptr<login_reply> controller::get_http_reg_result() const {
    return database_->get_http_reg_result();
}

zel_api::record_ptr<cars> controller::get_cars() const {
    return database_->get_cars();
}

zel_api::record_ptr<obj_zero_params> controller::get_zero_params() const {
    return database_->get_zero_params_ref();
}

zel_api::record_ptr<ref_tariff> controller::get_tariff(const std::wstring& id) const {
    return database_->get_tariff(id);
}

zel_api::record_ptr<order_offer> controller::get_order_offer() const {
    return database_->get_order_offer();
}

std::shared_ptr<const server_clock> controller::get_server_clock() const {
    return database_->get_server_clock();
}

std::shared_ptr<zel_api::bill_record> controller::get_bill() const {
    return database_->get_bill();
}

void controller::set_bill(std::shared_ptr<zel_api::bill_record> bill) {
    database_->set_bill(std::move(bill));
}

zel_api::status_stamp controller::get_status2_stamp() const {
    return database_->get_status2_stamp();
}

zel_api::status_stamp controller::get_status3_stamp() const {
    return database_->get_status3_stamp();
}

zel_api::record_list<order> controller::get_orders_1() const {
    return database_->get_orders_1();
}

zel_api::record_list<order> controller::get_orders_2() const {
    return database_->get_orders_2();
}

zel_api::record_list<order> controller::get_orders_3() const {
    return database_->get_orders_3();
}

zel_api::record_list<ref_rate> controller::get_rates() const {
    return database_->get_rates();
}

zel_api::record_list<riv> controller::get_riv_list() const {
    return database_->get_riv_list();
}

zel_api::record_list<shift> controller::get_shifts() const {
    return database_->get_shifts();
}

zel_api::record_list<sell_shift> controller::get_sell_shifts() const {
    return database_->get_sell_shifts();
}

zel_api::record_list<msg> controller::get_messages() const {
    return database_->get_messages();
}

zel_api::record_list<callsign_info> controller::get_callsigns() const {
    return database_->get_callsigns();
}

zel_api::record_list<obj_device_server> controller::get_device_servers() const {
    return database_->get_device_servers();
}

zel_api::record_ptr<obj_device_server> controller::get_current_server() const {
    const int32_t index = server_index_.load();
    const auto servers = database_->get_device_servers();
    if (index < 0 || static_cast<size_t>(index) >= servers.size()) {
        return {};
    }
    return servers[index];
}

// --------------------------------------------------------------------------------------------------- searches

zel_api::record_ptr<order> controller::find_order(int32_t kind, const std::wstring& order_id) const {
    zel_api::record_list<order> orders;
    switch (kind) {
    case 1:
        orders = get_orders_1();
        break;
    case 2:
        orders = get_orders_2();
        break;
    case 3:
        orders = get_orders_3();
        break;
    default:
        if (auto current = get_current_order()) {
            orders.push_back(std::move(current));
        }
    }
    for (const auto& candidate : orders) {
        if (candidate->s_id == order_id) {
            return candidate;
        }
    }
    return {};
}

zel_api::record_ptr<ref_area> controller::find_area(int64_t area_id) const {
    for (const auto& area : database_->get_areas()) {
        if (area->id == area_id) {
            return area;
        }
    }
    return {};
}

int32_t controller::get_area_type(int64_t area_id) const {
    const auto area = find_area(area_id);
    return area ? area->t : 0;
}

zel_api::record_list<ref_area> controller::get_type2_areas() const {
    zel_api::record_list<ref_area> found;
    for (const auto& area : database_->get_areas()) {
        if (area->t == zel_api::command::area_type::district) {
            found.push_back(area);
        }
    }
    return found;
}

zel_api::record_list<ref_area> controller::get_sub_areas(int64_t area_id) const {
    const auto areas = database_->get_areas();
    const auto parent = std::find_if(areas.begin(), areas.end(), [&](const auto& area) { return area->id == area_id; });
    zel_api::record_list<ref_area> found;
    if (parent == areas.end()) {
        return found;
    }
    for (const int64_t child : (*parent)->cid) {
        for (const auto& area : areas) {
            if (area->id == child) {
                found.push_back(area);
            }
        }
    }
    return found;
}

zel_api::record_ptr<adc> controller::find_adc(int64_t id) const {
    return database_->find_adc(id);
}

zel_api::record_ptr<nda> controller::find_nda(int64_t id) const {
    return database_->find_nda(id);
}

bool controller::any_order_3_flag_clear() const {
    const auto orders = get_orders_3();
    return std::any_of(orders.begin(), orders.end(), [](const auto& item) { return item->ttp && *item->ttp == 0; });
}

} // namespace zel::controller_
