// The process-wide owner of the server links, the data store and the worker threads that talk to the servers.
// It keeps the dispatch connection up while the driver is logged in, turns every answer and every pushed
// packet into database::process_packet followed by the listener's post_command, serialises the driver's
// requests, reports positions and feeds the track recorder.
//
// Sections (controller.cpp): construction | connection state | listener thread | request threads | login |
// positions. controller_tracks: the track recorder and the uploaders. controller_requests.cpp: request operations,
// store access and searches. controller_registration.cpp: login-server exchange, server list file, SMS and HTTP
// registration.
//
// The listener thread takes the pushed packets one at a time, each processed and posted as its own mask in the
// order they came; it takes the next at once while packets are queued, and rests 700 ms when none is.
//
// Dispatch connection, as the listener thread sees it (it polls while the listener event is set):
//   logged out --connect_org--> connecting (request thread) --"cmd-result" ok for "login"--> logged in
//   logged in --link dropped, or 31 s and more without a packet (keep-alives count)--> stop the link, post
//     "disconnect_local", clear the event, connect_org with the stored server, PIN and driver id, pause 1 s
//   a failed attempt still sets the event, so the next try comes about a second later; only disconnect
//   clears logged in.
// While a login is on its way (asked for and not yet through) or the link is being connected, the listener
// leaves the link alone; a stop it decides is for the link it looked at (packet_socket::stop(id)), never a newer
// one, and a reconnect that finds the link up again sends no second login.
//
// The close in hand (order_close) sees every mask before the screens, except the "disconnect_local" that a
// call-sign request's temporary connection posts when it ends: only the dispatch link's loss concerns it. The
// listener thread gives it a turn too, for its settle after a reconnect.
//
// Logging out wins over a login in flight: a login asked for before a disconnect is not sent, and an answer
// that comes after one is handed to the screens but leaves the controller logged out and that link closed.
//
// Threads and locks: the request lock (re-entrant) serialises the request threads, held across connecting,
// sending, the 30-second wait, the store and post_command; the store's lock and the manager's queue lock are
// taken inside it, one after the other. The listener thread, the login exchange, the registrations and the
// call-sign request run without it. The PIN, driver id and server index of the last login are kept together
// under the login lock, so a reconnect never reads them half replaced; the count of logouts lives there too, and
// setting logged in checks it under that lock, so a disconnect can't slip between the check and the set. Flags,
// indices and the count of logins on their way are atomics.
// on_gps_position runs on the GPS refresh thread and is the only user of the last position.
//
// The program creates one controller (create) and never destroys it. Tests construct their own with options;
// destroying one stops its links and waits for its threads.
#pragma once

#include "api/command/command.h"
#include "api/database.h"
#include "api/update_mask.h"
#include "controller/controller_listener.h"
#include "controller/order_close.h"
#include "controller/packet_socket.h"
#include "controller/server_address.h"
#include "controller/tariff_slots.h"
#include "controller/worker_threads.h"
#include "foundation/conn_manager.h"
#include "gps/gps_manager.h"
#include "gps/location.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace zel::controller_ {

class controller_tracks;

class controller {
public:
    using command_ptr = std::unique_ptr<zel_api::command::command>;

    struct options {
        std::vector<server_address> login_servers;
        registration_host registration;
        // New-order sounds; empty: the sound player.
        zel_api::database::sound_function play_sound;

        // The deployment values (environment first, then the built-in ones).
        static options from_settings();
    };

    // The process-wide controller: created with the deployment values on the first call, its listener thread
    // started; later calls return it.
    static controller* create(controller_listener* listener);
    // The process-wide controller, null before create.
    static controller* instance();
    // Installs a controller as the process-wide one (tests of the screens); null removes it.
    static void set_instance(controller* installed);

    // Builds the links, the store, the tariff slots, the track recorder and uploaders, subscribes to the GPS
    // service and starts the listener thread. The listener must outlive the controller.
    controller(controller_listener* listener, options settings);
    ~controller();
    controller(const controller&) = delete;
    controller& operator=(const controller&) = delete;

    // --- connection state
    // Logs out: clears logged in and the listener event, stops the dispatch connection.
    void disconnect();
    bool is_logged_in() const {
        return logged_in_.load();
    }
    // True while the login connection runs or a login-server exchange is under way.
    bool is_registering() const;
    bool is_connected() const;
    int32_t get_server_index() const {
        return server_index_.load();
    }
    void set_server_index(int32_t index);
    // Posts a mask with only "disconnect_local" (local) or only "disconnect_global".
    void notify_connection_state(bool local);

    // --- requests (each returns at once; the answer reaches the listener as an update mask)
    // Sends the command while the dispatch connection is up; dropped otherwise.
    void send_command(command_ptr command);
    void send(command_ptr command);
    // The same; never_left runs (on the request thread) when the link was down at the request's turn, before a
    // "disconnect_local" is posted for the screen that waits.
    void send(command_ptr command, std::function<void()> never_left);
    // Sends the command, connecting to the chosen dispatch server first when the link is down.
    void start_action_org_connect(command_ptr command);
    // Remembers server, PIN and driver id (for reconnects) and logs in on that server.
    void connect_org(int32_t server_index, const std::wstring& pin, int64_t driver_id);
    // Asks a dispatch server that is not chosen yet for its call signs, on a connection of its own.
    void request_callsign_list(const std::wstring& main_id, const std::wstring& local_id, int64_t organization_id,
                               int32_t server_index);

    void set_parking(const int64_t& area_id);
    void set_driver_status(const int32_t& status_id);
    void buy_shift(int64_t shift_id);
    void shift_end();
    void shift_begin(int64_t area_id, int64_t car_id);
    void set_work_wheel(int64_t car_id);
    void set_driver(const std::wstring& order_id);
    void driver_arrive(const std::wstring& order_id);
    // Also tells the store which order the result will confirm (the ride starts for that order alone).
    void execute_order(const std::wstring& order_id);
    void commit_driver(const std::wstring& order_id);
    void msg_read(int64_t message_id);
    // "set-option" key 1022: "1" when on, "2" when off.
    void set_option_1022(const bool& on);
    void order_offer_accept(const std::wstring& order_id);
    void order_offer_reject(const std::wstring& order_id);

    // --- login servers and registration
    // Asks the login servers for the device's profile (the dispatch servers among it); ends with
    // "disconnect_global", after which the cached server list stands in when none came. Ignored (with a log line)
    // while an exchange runs (is_registering).
    void login_reg(bool with_sms_key);
    void save_servers();
    std::wstring load_cached_servers();
    // Sends the registration SMS when "obj-zero-params" names a number; posts
    // "command_sms_register_ok" or "command_sms_register_error".
    void sms_register();
    // GETs the path from the device-registration server; stores the answer and posts "command_http_reg".
    void start_http_reg(const std::wstring& path);

    // --- positions
    std::function<void(const gps::location&)> make_gps_callback();
    // Reports the position when it is good and far or old enough, then hands it to the track recorder.
    void on_gps_position(const gps::location& fix);
    // Writes the track points not yet in a file (the program's exit paths, so the last minutes are kept).
    void flush_track();
    // Stops the taximeter after a successful "close-order" while its order id is "1".
    void check_close_order_result(const zel_api::update_mask& mask);
    // The driver's close of an order in hand (the bill's "Завершить заказ"): it sees every packet's mask
    // before the screens do, wherever the answer comes.
    order_close& closing() {
        return *closing_;
    }

    // --- store access
    void clear_callsigns();
    gps::taximeter* get_taximeter() const;
    zel_api::record_ptr<zel_api::command::order> get_current_order() const;
    zel_api::record_ptr<zel_api::command::session_param> get_session_param() const;
    zel_api::record_ptr<zel_api::command::currency> get_currency() const;
    zel_api::record_ptr<zel_api::command::obj_update> get_update_info() const;
    zel_api::record_ptr<zel_api::command::session_fix_param> get_session_fix_param() const;
    zel_api::record_ptr<zel_api::command::login_reply> get_http_reg_result() const;
    zel_api::record_ptr<zel_api::command::cars> get_cars() const;
    zel_api::record_ptr<zel_api::command::obj_zero_params> get_zero_params() const;
    zel_api::record_ptr<zel_api::command::ref_tariff> get_tariff(const std::wstring& id) const;
    zel_api::record_ptr<zel_api::command::order_offer> get_order_offer() const;
    std::shared_ptr<const server_clock> get_server_clock() const;
    std::shared_ptr<zel_api::bill_record> get_bill() const;
    void set_bill(std::shared_ptr<zel_api::bill_record> bill);
    zel_api::status_stamp get_status2_stamp() const;
    zel_api::status_stamp get_status3_stamp() const;
    zel_api::record_list<zel_api::command::order> get_orders_1() const;
    zel_api::record_list<zel_api::command::order> get_orders_2() const;
    zel_api::record_list<zel_api::command::order> get_orders_3() const;
    zel_api::record_list<zel_api::command::ref_rate> get_rates() const;
    zel_api::record_list<zel_api::command::riv> get_riv_list() const;
    zel_api::record_list<zel_api::command::shift> get_shifts() const;
    zel_api::record_list<zel_api::command::sell_shift> get_sell_shifts() const;
    zel_api::record_list<zel_api::command::msg> get_messages() const;
    zel_api::record_list<zel_api::command::callsign_info> get_callsigns() const;
    zel_api::record_list<zel_api::command::obj_device_server> get_device_servers() const;
    // The record at the server index; empty when none is chosen or the index is past the list.
    zel_api::record_ptr<zel_api::command::obj_device_server> get_current_server() const;

    // --- searches over copies of the store's lists
    // Kind 1, 2 or 3: that order list; any other kind: the current order alone.
    zel_api::record_ptr<zel_api::command::order> find_order(int32_t kind, const std::wstring& order_id) const;
    zel_api::record_ptr<zel_api::command::ref_area> find_area(int64_t area_id) const;
    int32_t get_area_type(int64_t area_id) const;
    zel_api::record_list<zel_api::command::ref_area> get_type2_areas() const;
    zel_api::record_list<zel_api::command::ref_area> get_sub_areas(int64_t area_id) const;
    zel_api::record_ptr<zel_api::command::adc> find_adc(int64_t id) const;
    zel_api::record_ptr<zel_api::command::nda> find_nda(int64_t id) const;
    // True when an order of list 3 has "ttp" present and 0.
    bool any_order_3_flag_clear() const;

    // The store itself (tests).
    zel_api::database& store() {
        return *database_;
    }
    // The dispatch connection itself (tests watch what it holds).
    const packet_socket& dispatch_link() const {
        return dispatch_connection_;
    }
    // Turns of the listener thread so far (tests wait for one instead of sleeping).
    uint64_t listener_turns() const {
        return listener_turns_.load();
    }
    // Pauses of the listener thread so far: one after each turn that found no packet queued (tests count them).
    uint64_t listener_rests() const {
        return listener_rests_.load();
    }

private:
    // Time-outs of the server link, in seconds.
    static constexpr int login_connect_seconds = 5;
    static constexpr int dispatch_connect_seconds = 10;
    static constexpr int answer_seconds = 30;

    struct action_thread_args {
        controller* owner;
        bool connect;
        command_ptr command;
        int32_t server_index; // thread_action_org_new_connect only
        // Logins (connect set): the count of logouts when it was asked for, and whether the listener asked.
        uint64_t logouts = 0;
        bool reconnect = false;
        // Requests of a sender that waits for the answer: told when the request was not sent.
        std::function<void()> never_left = {};
    };
    struct login_values {
        int32_t server_index = -1;
        std::wstring pin;
        int64_t driver_id = 0;
    };
    // The GPS service keeps its callbacks for ever; they reach the controller through this, which the
    // destructor empties.
    struct gps_hook {
        std::mutex lock;
        controller* owner = nullptr;
    };

    bool start_action(bool connect, command_ptr command, uint64_t logouts = 0, bool reconnect = false);
    // Sends "login" with the values on the chosen server, connecting first; logins_pending_ counts it until its
    // request ends.
    void start_login(const login_values& values, uint64_t logouts, bool reconnect);
    // The listener's check of the dispatch link: stops a dead or silent one and logs in again.
    void check_dispatch_link(std::chrono::milliseconds& rest);
    // False when no thread could be started (body not run).
    bool start_worker(std::function<void()> body);
    void thread_packets_listner();
    void thread_action_org(action_thread_args& task);
    void thread_action_org_new_connect(action_thread_args& task);
    void thread_action_reg(action_thread_args& task);
    void thread_sms_reg(const std::wstring& text, const std::wstring& number);
    void thread_http_reg(const std::wstring& path);
    // Connects the dispatch connection to the chosen server's remembered address, or searches its list.
    void connect_dispatch(const std::vector<std::wstring>& addresses);
    // Inflated payload text into the store; the mask (empty when the store failed).
    zel_api::update_mask process(const bytes& payload);
    zel_api::update_mask process_text(const std::wstring& text);
    void post(const zel_api::update_mask& mask);
    void post_event(const std::wstring& name);
    // "disconnect_local" for the screens alone, when a call-sign request's temporary connection ends.
    void notify_temporary_link_closed();
    // The driver, organisation and city of the last login, for the ride's ".tax_data".
    order_close::ride_owner current_ride_owner() const;
    void send_gps_position(const gps::location& fix);
    std::wstring device_serial() const;
    std::wstring device_id() const;
    std::wstring device_main_id() const;

    // Listener event ("event_thread_packets_listner", manual reset) and the listener thread's pauses.
    void set_listener_event();
    void reset_listener_event();
    bool wait_listener_event();
    bool pause(std::chrono::milliseconds time);

    controller_listener* const listener_;
    const options settings_;
    packet_socket login_connection_;
    packet_socket dispatch_connection_;
    std::unique_ptr<zel_api::database> database_;
    std::unique_ptr<order_close> closing_;
    std::atomic<int32_t> server_index_{-1};
    std::atomic<int32_t> address_index_{-1};
    mutable std::mutex login_lock_;
    login_values login_values_;
    uint64_t logouts_ = 0; // disconnects so far, under the login lock
    std::atomic<bool> logged_in_{false};
    std::atomic<int> logins_pending_{0};
    std::atomic<bool> registering_{false};
    std::unique_ptr<tariff_slots> tariff_slots_;
    conn_manager conn_manager_;
    std::unique_ptr<controller_tracks> tracks_;
    std::recursive_mutex request_lock_;
    gps::location last_position_;
    int64_t last_position_time_ = 0;

    std::mutex event_lock_;
    std::condition_variable event_changed_;
    bool listener_event_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> listener_turns_{0};
    std::atomic<uint64_t> listener_rests_{0};

    std::mutex temporary_lock_;
    std::set<packet_socket*> temporary_connections_; // call-sign requests under way
    std::shared_ptr<gps_hook> gps_hook_;
    worker_threads workers_;
    std::thread listener_thread_;
};

} // namespace zel::controller_
