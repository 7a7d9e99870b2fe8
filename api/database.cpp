// The store's construction, the GPS feed, and the getters, finds and removals. Packet processing is in
// database_packet.cpp.
#include "api/database.h"

#include "api/record_lists.h"

#include "foundation/sound_player.h"
#include "gps/gps_manager.h"

namespace zel_api {
namespace {

using guard = std::lock_guard<std::recursive_mutex>;

bool is_list_kind(int32_t kind) {
    return kind >= command::order::list_general && kind <= command::order::list_current;
}

void feed_taximeter(zel::gps::taximeter& meter, const zel::gps::location& fix) {
    zel::gps::location copy;
    copy.accuracy = fix.accuracy;
    copy.altitude = fix.altitude;
    copy.latitude = fix.latitude;
    copy.longitude = fix.longitude;
    copy.speed = fix.speed;
    copy.delivery_time = fix.delivery_time;
    meter.on_location(copy);
}

} // namespace

database::database() : database(sound_function(&zel::sound_player::play)) {}

database::database(sound_function play_sound)
    : server_clock_(std::make_shared<zel::server_clock>()), taximeter_(std::make_shared<zel::gps::taximeter>()),
      play_sound_(std::move(play_sound)) {
    std::weak_ptr<zel::gps::taximeter> meter = taximeter_;
    zel::gps::gps_manager::instance().subscribe([meter](const zel::gps::location& fix) {
        if (const auto held = meter.lock()) {
            feed_taximeter(*held, fix);
        }
    });
}

database::~database() = default;

void database::on_gps_position(const zel::gps::location& fix) {
    feed_taximeter(*taximeter_, fix);
}

record_ptr<command::obj_zero_params> database::get_zero_params_ref() const {
    guard hold(lock_);
    return zero_params_;
}

record_ptr<command::session_param> database::get_session_param() const {
    guard hold(lock_);
    return session_param_;
}

record_ptr<command::currency> database::get_currency() const {
    guard hold(lock_);
    return currency_;
}

record_ptr<command::session_fix_param> database::get_session_fix_param() const {
    guard hold(lock_);
    return session_fix_param_;
}

record_ptr<command::login_reply> database::get_http_reg_result() const {
    guard hold(lock_);
    return http_reg_result_;
}

record_ptr<command::cars> database::get_cars() const {
    guard hold(lock_);
    return cars_;
}

record_ptr<command::obj_update> database::get_update_info() const {
    guard hold(lock_);
    return update_info_;
}

record_ptr<command::order_offer> database::get_order_offer() const {
    guard hold(lock_);
    return order_offer_;
}

std::shared_ptr<const zel::server_clock> database::get_server_clock() const {
    return server_clock_;
}

std::shared_ptr<bill_record> database::get_bill() const {
    guard hold(lock_);
    return bill_;
}

record_ptr<command::order> database::get_current_order() const {
    guard hold(lock_);
    const auto& current = orders_[command::order::list_current - 1];
    return current.empty() ? nullptr : current.back();
}

status_stamp database::get_status2_stamp() const {
    guard hold(lock_);
    return status2_stamp_;
}

status_stamp database::get_status3_stamp() const {
    guard hold(lock_);
    return status3_stamp_;
}

void database::set_http_reg_result(record_ptr<command::login_reply> result) {
    guard hold(lock_);
    http_reg_result_ = std::move(result);
}

void database::set_bill(std::shared_ptr<bill_record> bill) {
    guard hold(lock_);
    bill_ = std::move(bill);
}

void database::set_execute_order(const std::wstring& order_id) {
    guard hold(lock_);
    execute_order_id_ = order_id;
}

record_list<command::obj_device_server> database::get_device_servers() const {
    guard hold(lock_);
    return device_servers_;
}

record_list<command::order> database::get_orders(int32_t kind) const {
    guard hold(lock_);
    if (!is_list_kind(kind)) {
        return {};
    }
    return orders_[kind - 1].records();
}

record_list<command::order> database::get_orders_1() const {
    return get_orders(command::order::list_general);
}

record_list<command::order> database::get_orders_2() const {
    return get_orders(command::order::list_second);
}

record_list<command::order> database::get_orders_3() const {
    return get_orders(command::order::list_preliminary);
}

record_list<command::ref_area> database::get_areas() const {
    guard hold(lock_);
    return areas_;
}

record_list<command::adc> database::get_adc_list() const {
    guard hold(lock_);
    return adc_list_;
}

record_list<command::nda> database::get_nda_list() const {
    guard hold(lock_);
    return nda_list_;
}

record_list<command::ref_rate> database::get_rates() const {
    guard hold(lock_);
    return rates_;
}

record_list<command::riv> database::get_riv_list() const {
    guard hold(lock_);
    return riv_list_;
}

record_list<command::shift> database::get_shifts() const {
    guard hold(lock_);
    return shifts_;
}

record_list<command::sell_shift> database::get_sell_shifts() const {
    guard hold(lock_);
    return sell_shifts_;
}

record_list<command::msg> database::get_messages() const {
    guard hold(lock_);
    return messages_;
}

record_list<command::callsign_info> database::get_callsigns() const {
    guard hold(lock_);
    return callsigns_;
}

record_ptr<command::adc> database::find_adc(int64_t id) const {
    guard hold(lock_);
    return find_first(adc_list_, id, &command::adc::id);
}

record_ptr<command::nda> database::find_nda(int64_t id) const {
    guard hold(lock_);
    return find_first(nda_list_, id, &command::nda::id);
}

record_ptr<command::riv> database::find_riv(int64_t id) const {
    guard hold(lock_);
    return find_first(riv_list_, id, &command::riv::id);
}

record_ptr<command::shift> database::find_shift(int64_t id) const {
    guard hold(lock_);
    return find_first(shifts_, id, &command::shift::id);
}

record_ptr<command::sell_shift> database::find_sell_shift(int64_t id_sell) const {
    guard hold(lock_);
    return find_first(sell_shifts_, id_sell, &command::sell_shift::id_sell);
}

record_ptr<command::msg> database::find_msg(int64_t id) const {
    guard hold(lock_);
    return find_first(messages_, id, &command::msg::id);
}

record_ptr<command::ref_tariff> database::find_tariff(const std::wstring& s_id) const {
    guard hold(lock_);
    return find_first(tariffs_, s_id, &command::ref_tariff::s_id);
}

record_ptr<command::ref_tariff> database::get_tariff(const std::wstring& s_id) const {
    return find_tariff(s_id);
}

record_ptr<command::order> database::find_order(int32_t kind, const std::wstring& s_id) const {
    guard hold(lock_);
    if (!is_list_kind(kind)) {
        return {};
    }
    return orders_[kind - 1].find(s_id);
}

void database::erase_order(int32_t kind, const std::wstring& s_id) {
    guard hold(lock_);
    if (!is_list_kind(kind)) {
        return;
    }
    orders_[kind - 1].erase(s_id);
}

void database::erase_msg(int64_t id) {
    guard hold(lock_);
    erase_first(messages_, id, &command::msg::id);
}

void database::clear_all() {
    guard hold(lock_);
    for (auto& list : orders_) {
        list.clear();
    }
    areas_.clear();
    rates_.clear();
    riv_list_.clear();
    shifts_.clear();
    sell_shifts_.clear();
    orders_listed_ = false;
}

void database::clear_device_servers() {
    guard hold(lock_);
    device_servers_.clear();
}

void database::clear_callsigns() {
    guard hold(lock_);
    callsigns_.clear();
}

} // namespace zel_api
