// The store of every record the servers sent and of the state of the driver's work; it owns the taximeter and
// feeds it with GPS positions. Packets are written in by process_packet on the controller's threads; the
// screens read through the controller on the UI thread.
//
// Sections: construction and GPS | packet processing | single records | lists | lookups | removal.
//
// Records are immutable once shared (copy on write). The store holds each record through a shared pointer to a
// const record; an update parses into a copy under the lock and puts the copy at the same place, so a reader
// keeps an unchanging snapshot for as long as it holds the pointer, and never sees a record change under it.
// A screen that keeps a record looks it up again when the record's update bit arrives:
//   "order"                        find_order(l_type, s_id); the driver's order in work: get_current_order
//   "order-offer"                  get_order_offer
//   "msg"                          find_msg(id)                 "shift"       find_shift(id)
//   "sell-shift"                   find_sell_shift(id_sell)     "adc", "nda"  find_adc(id), find_nda(id)
//   "session-param" and every other single record: its getter  "riv" find_riv(id), "ref-tariff" find_tariff
//   lists ("ref-area", "ref-rate", "obj-device-server", "callsign-info"): the list getter again.
// The bill record is the exception: it is the screens' own value, shared and changed in place on the UI thread.
//
// Lock: one re-entrant lock guards every member except the taximeter and the server clock (atomics). Every
// operation takes it; process_packet holds it for a whole packet, so a reader sees a packet wholly or not at
// all. Lock order: the controller's request lock, then this lock, then the taximeter's locks; the GPS thread
// reaches the taximeter without this lock. Nothing here calls the controller or the screens.
//
// Whether list 4 says which orders the driver still has in work (it decides which "odel" ends a running ride
// whose order list 4 no longer holds):
//   unlisted --the packet that answers "login" with success--> listed, from the next packet on
//   listed   --clear_all (a reconnect empties the store)-------> unlisted
// Unlisted (also at construction), only an "odel" that names the measured order in list 4 ends the ride: an
// empty list just after a reconnect says nothing. Listed, any "odel" that leaves list 4 without the measured
// order ends it: an order closed on the server while the terminal was offline is never named.
#pragma once

#include "api/bill_record.h"
#include "api/command/received/adc.h"
#include "api/command/received/callsign_info.h"
#include "api/command/received/cars.h"
#include "api/command/received/currency.h"
#include "api/command/received/login_reply.h"
#include "api/command/received/msg.h"
#include "api/command/received/nda.h"
#include "api/command/received/obj_device_server.h"
#include "api/command/received/obj_main_id.h"
#include "api/command/received/obj_update.h"
#include "api/command/received/obj_zero_params.h"
#include "api/command/received/order.h"
#include "api/command/received/order_offer.h"
#include "api/command/received/order_offer_cancel.h"
#include "api/command/received/order_offer_timeout.h"
#include "api/command/received/ref_area.h"
#include "api/command/received/ref_rate.h"
#include "api/command/received/ref_tariff.h"
#include "api/command/received/riv.h"
#include "api/command/received/sell_shift.h"
#include "api/command/received/session_fix_param.h"
#include "api/command/received/session_param.h"
#include "api/command/received/shift.h"
#include "api/json/value.h"
#include "api/keyed_record_list.h"
#include "api/update_mask.h"
#include "foundation/server_clock.h"
#include "gps/location.h"
#include "gps/taximeter/taximeter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zel_api {

// The moment an order of list 4 first arrived with a status (2: on the way, 3: at the address).
struct status_stamp {
    std::wstring order_id; // empty before the first
    int64_t time = 0;      // now_seconds when it arrived; 0 before the first
};
using order_stamp = status_stamp;

template <class Record> using record_ptr = std::shared_ptr<const Record>;
template <class Record> using record_list = std::vector<std::shared_ptr<const Record>>;

class database {
public:
    // Plays a sound id (1 "new_order", 2 "new_order_adv").
    using sound_function = std::function<void(int sound_id)>;

    // Every list and record empty, both stamps empty, the server clock zeroed, the taximeter created and
    // subscribed to the GPS service (gps_manager::instance; tests install their own service first). New-order
    // sounds go to sound_player::play, or to play_sound.
    database();
    explicit database(sound_function play_sound);
    ~database();
    database(const database&) = delete;
    database& operator=(const database&) = delete;

    // The GPS subscription: passes the fix's accuracy, altitude, latitude, longitude, speed and delivery time
    // to the taximeter (the other fields zero). GPS refresh thread; takes no store lock.
    void on_gps_position(const zel::gps::location& fix);
    // The one taximeter; the store keeps it. Never changes, needs no lock.
    zel::gps::taximeter* get_taximeter() const {
        return taximeter_.get();
    }

    // Applies one received packet's text and says what it carried. Never throws: an object that can't be
    // read or parsed is logged with its error and skipped, and the later objects still apply; a text whose
    // braces don't balance is logged and changes nothing. After the objects: when an "order" arrived and the
    // current order has status 8, or when a successful "cmd-result" of "execute-order" arrived and the order
    // that request named (set_execute_order) is the current one (the status may follow in a later packet), the
    // taximeter gets that order's tariff and is started for it (a second start for the same order changes
    // nothing); when an
    // "odel" arrived and list 4 no longer holds the order that the running taximeter measures, the taximeter
    // is stopped, if the "odel" named that order in list 4 or the driver's orders have been listed since the
    // last clear_all (the table at the top).
    update_mask process_packet(const std::wstring& text);

    // Single records (empty until the first arrival).
    record_ptr<command::obj_zero_params> get_zero_params_ref() const;
    record_ptr<command::session_param> get_session_param() const;
    record_ptr<command::currency> get_currency() const;
    record_ptr<command::session_fix_param> get_session_fix_param() const;
    record_ptr<command::login_reply> get_http_reg_result() const;
    record_ptr<command::cars> get_cars() const;
    record_ptr<command::obj_update> get_update_info() const;
    record_ptr<command::order_offer> get_order_offer() const;
    std::shared_ptr<const zel::server_clock> get_server_clock() const;
    std::shared_ptr<bill_record> get_bill() const;
    // The last order of list 4 (the order most recently added to it), or empty.
    record_ptr<command::order> get_current_order() const;
    status_stamp get_status2_stamp() const;
    status_stamp get_status3_stamp() const;

    void set_http_reg_result(record_ptr<command::login_reply> result);
    void set_bill(std::shared_ptr<bill_record> bill);
    // The order that the "execute-order" about to be sent names: its result names none, and starts the ride only
    // for this order, and only while it is the current order.
    void set_execute_order(const std::wstring& order_id);

    // Copies of the lists, in arrival order.
    record_list<command::obj_device_server> get_device_servers() const;
    // Order list of a kind: 1 current orders, 2 preliminary, 3 the driver's own, 4 the driver's orders in work
    // (the last one is the current order); empty for any other kind.
    record_list<command::order> get_orders(int32_t kind) const;
    record_list<command::order> get_orders_1() const;
    record_list<command::order> get_orders_2() const;
    record_list<command::order> get_orders_3() const;
    record_list<command::ref_area> get_areas() const;
    record_list<command::adc> get_adc_list() const;
    record_list<command::nda> get_nda_list() const;
    record_list<command::ref_rate> get_rates() const;
    record_list<command::riv> get_riv_list() const;
    record_list<command::shift> get_shifts() const;
    record_list<command::sell_shift> get_sell_shifts() const;
    record_list<command::msg> get_messages() const;
    record_list<command::callsign_info> get_callsigns() const;

    // The first record with the key, or empty.
    record_ptr<command::adc> find_adc(int64_t id) const;
    record_ptr<command::nda> find_nda(int64_t id) const;
    record_ptr<command::riv> find_riv(int64_t id) const;
    record_ptr<command::shift> find_shift(int64_t id) const;
    record_ptr<command::sell_shift> find_sell_shift(int64_t id_sell) const;
    record_ptr<command::msg> find_msg(int64_t id) const;
    // By "s-id", exact comparison.
    record_ptr<command::ref_tariff> find_tariff(const std::wstring& s_id) const;
    record_ptr<command::ref_tariff> get_tariff(const std::wstring& s_id) const;
    // In the list of the kind (1 to 4) by "s-id"; empty for any other kind.
    record_ptr<command::order> find_order(int32_t kind, const std::wstring& s_id) const;

    // Removes the first order with the id from the list of the kind; the other lists stay.
    void erase_order(int32_t kind, const std::wstring& s_id);
    void erase_msg(int64_t id);
    // After each connection to the dispatch server: empties order lists 1 to 4, areas, rates, riv list,
    // shifts and shift sales; keeps everything else (and the taximeter runs on). Readers keep their copies.
    // The driver's orders count as unlisted again until the next successful login.
    void clear_all();
    void clear_device_servers();
    void clear_callsigns();

private:
    // database_packet.cpp
    void apply_command(update_mask& mask, std::string_view key, const json::value& object);
    void apply_order(const json::value& object);
    void apply_session_param(const json::value& object);
    void apply_odel(const json::value& object);
    void apply_shift_del(const json::value& object);
    void apply_msg_del(const json::value& object);
    void start_taximeter(const command::order& current);
    void stop_taximeter_if_its_order_left();

    mutable std::recursive_mutex lock_;

    record_list<command::obj_device_server> device_servers_;
    record_ptr<command::obj_main_id> main_id_;
    record_ptr<command::obj_zero_params> zero_params_;
    record_ptr<command::session_fix_param> session_fix_param_;
    record_list<command::ref_area> areas_;
    // Order lists 1 to 4, indexed by "s-id".
    keyed_record_list<command::order, std::wstring, &command::order::s_id> orders_[4];
    record_list<command::ref_tariff> tariffs_;
    record_ptr<command::session_param> session_param_;
    record_ptr<command::currency> currency_;
    record_list<command::adc> adc_list_;
    record_list<command::nda> nda_list_;
    const std::shared_ptr<zel::server_clock> server_clock_;
    record_list<command::ref_rate> rates_;
    record_list<command::riv> riv_list_;
    record_list<command::shift> shifts_;
    record_list<command::sell_shift> sell_shifts_;
    record_ptr<command::login_reply> http_reg_result_;
    record_ptr<command::cars> cars_;
    record_list<command::msg> messages_;
    record_list<command::callsign_info> callsigns_;
    status_stamp status2_stamp_;
    status_stamp status3_stamp_;
    std::shared_ptr<bill_record> bill_;
    record_ptr<command::obj_update> update_info_;
    record_ptr<command::order_offer> order_offer_;
    record_ptr<command::order_offer_timeout> offer_timeout_;
    record_ptr<command::order_offer_cancel> offer_cancel_;
    // Shared with the GPS subscription, which holds it weakly: a store destroyed in a test leaves the
    // service's callback harmless.
    const std::shared_ptr<zel::gps::taximeter> taximeter_;
    const sound_function play_sound_;

    // Within one packet: a new-order sound was played.
    bool new_order_sound_given_ = false;
    // Within one packet: the ids that an "odel" of list 4 named.
    std::vector<std::wstring> removed_from_list_4_;
    // List 4 says which orders the driver still has in work (the table at the top).
    bool orders_listed_ = false;
    // The order the last "execute-order" named; empty before the first.
    std::wstring execute_order_id_;
};

} // namespace zel_api
