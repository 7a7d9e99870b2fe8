#include "controller/controller.h"

#include "api/command/sent/close_order.h"
#include "api/command/sent/get_callsign_list_for_device.h"
#include "api/command/sent/gps_position.h"
#include "api/command/sent/login.h"
#include "api/command_names.h"
#include "controller/controller_tracks.h"
#include "foundation/app_paths.h"
#include "foundation/clock.h"
#include "foundation/device_info.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/taximeter/geo_distance.h"

#include <exception>
#include <system_error>

namespace zel::controller_ {
namespace {

std::atomic<controller*> the_controller{nullptr};

// A dispatch link that has received nothing for longer than this many whole seconds is dead.
constexpr uint32_t silence_limit_seconds = 30;
// The listener's rest when nothing is queued; queued packets are taken one after another without it.
constexpr auto listener_period = std::chrono::milliseconds(700);
constexpr auto reconnect_pause = std::chrono::milliseconds(1000);

constexpr float good_accuracy = 10.0f;
constexpr double report_distance_m = 200.0;
constexpr int64_t report_interval_s = 31;

bytes utf8_bytes(const std::wstring& text) {
    const std::string narrow = wide_to_utf8(text);
    return bytes(narrow.begin(), narrow.end());
}

} // namespace

// ---------------------------------------------------------------------------------------------- construction

controller::options controller::options::from_settings() {
    return {controller_::login_servers(), registration_server(), {}};
}

controller* controller::create(controller_listener* listener) {
    if (!the_controller.load()) {
        the_controller.store(new controller(listener, options::from_settings()));
    }
    return the_controller.load();
}

controller* controller::instance() {
    return the_controller.load();
}

void controller::set_instance(controller* installed) {
    the_controller.store(installed);
}

controller::controller(controller_listener* listener, options settings)
    : listener_(listener), settings_(std::move(settings)),
      database_(settings_.play_sound ? std::make_unique<zel_api::database>(settings_.play_sound)
                                     : std::make_unique<zel_api::database>()),
      closing_(std::make_unique<order_close>(
          *database_, app_file(L"\\order_close_inf"),
          [this](auto request, auto never_left) { send(std::move(request), std::move(never_left)); },
          [this] { return current_ride_owner(); })),
      tariff_slots_(std::make_unique<tariff_slots>(app_file(L"\\tariff").wstring())),
      tracks_(std::make_unique<controller_tracks>(device_serial())), gps_hook_(std::make_shared<gps_hook>()) {
    for (const auto& server : settings_.login_servers) {
        zel::log(logger::info, L"controller: login server " + server.host + L":" + server.port);
    }
    gps_hook_->owner = this;
    gps::gps_manager::instance().subscribe(make_gps_callback());
    listener_thread_ = std::thread(&controller::thread_packets_listner, this);
}

controller::~controller() {
    stopping_.store(true);
    logged_in_.store(false);
    {
        std::lock_guard guard(gps_hook_->lock);
        gps_hook_->owner = nullptr;
    }
    set_listener_event();
    if (listener_thread_.joinable()) {
        listener_thread_.join();
    }
    // A request may connect again right after a stop; stop until every worker has returned.
    do {
        login_connection_.stop();
        dispatch_connection_.stop();
        std::lock_guard guard(temporary_lock_);
        for (packet_socket* connection : temporary_connections_) {
            connection->stop();
        }
    } while (!workers_.wait_all(std::chrono::milliseconds(100)));
    if (the_controller.load() == this) {
        the_controller.store(nullptr);
    }
}

std::wstring controller::device_serial() const {
    const device_info* device = device_info::instance();
    return device ? device->serial() : std::wstring();
}

std::wstring controller::device_id() const {
    const device_info* device = device_info::instance();
    return device ? device->device_id() : std::wstring();
}

std::wstring controller::device_main_id() const {
    const device_info* device = device_info::instance();
    return device ? device->main_id() : std::wstring();
}

// ------------------------------------------------------------------------------------------ connection state

void controller::disconnect() {
    {
        std::lock_guard guard(login_lock_);
        ++logouts_;
        logged_in_.store(false);
    }
    reset_listener_event();
    dispatch_connection_.stop(); // also cuts a connect in progress short
}

bool controller::is_registering() const {
    return login_connection_.is_running() || registering_.load();
}

bool controller::is_connected() const {
    return dispatch_connection_.is_running();
}

void controller::set_server_index(int32_t index) {
    server_index_.store(index);
}

void controller::notify_connection_state(bool local) {
    post_event(local ? zel_api::disconnect_local_name() : zel_api::disconnect_global_name());
}

void controller::notify_temporary_link_closed() {
    // Only the screens hear of it: the dispatch link is as it was, so the close in hand is not told of a loss.
    zel_api::update_mask mask;
    mask.set(zel_api::disconnect_local_name());
    if (listener_) {
        listener_->post_command(mask);
    }
}

order_close::ride_owner controller::current_ride_owner() const {
    order_close::ride_owner owner;
    {
        std::lock_guard guard(login_lock_);
        owner.driver_id = login_values_.driver_id;
    }
    if (const auto server = get_current_server()) {
        owner.organization_id = server->org_id;
        owner.city_id = server->city_id;
    }
    return owner;
}

void controller::post_event(const std::wstring& name) {
    zel_api::update_mask mask;
    mask.set(name);
    post(mask);
}

void controller::post(const zel_api::update_mask& mask) {
    // Whichever thread brought the packet, and before the screens hear of it: the closed order's taximeter
    // stopped, the close in hand told of its result.
    check_close_order_result(mask);
    closing_->on_mask(mask);
    if (listener_) {
        listener_->post_command(mask);
    }
}

zel_api::update_mask controller::process(const bytes& payload) {
    return process_text(utf8_to_wide(std::string(payload.begin(), payload.end())));
}

zel_api::update_mask controller::process_text(const std::wstring& text) {
    try {
        return database_->process_packet(text);
    } catch (const std::exception& error) {
        // The thread goes on with its next packet whatever the store did with this one.
        zel::log(logger::error, L"controller: the packet was not stored: " + utf8_to_wide(error.what()));
        return {};
    }
}

void controller::set_listener_event() {
    {
        std::lock_guard guard(event_lock_);
        listener_event_ = true;
    }
    event_changed_.notify_all();
}

void controller::reset_listener_event() {
    std::lock_guard guard(event_lock_);
    listener_event_ = false;
}

bool controller::wait_listener_event() {
    std::unique_lock guard(event_lock_);
    event_changed_.wait(guard, [this] { return listener_event_ || stopping_.load(); });
    return !stopping_.load();
}

bool controller::pause(std::chrono::milliseconds time) {
    std::unique_lock guard(event_lock_);
    return !event_changed_.wait_for(guard, time, [this] { return stopping_.load(); });
}

// ------------------------------------------------------------------------------------------- listener thread

void controller::thread_packets_listner() {
    zel::log(logger::warning, L"controller::thread_packets_listner");
    while (wait_listener_event()) {
        std::chrono::milliseconds rest = listener_period;
        try {
            const bytes payload = dispatch_connection_.pop_command();
            if (!payload.empty()) {
                // Each packet is its own mask, in the order it came; the next one queued is taken at once, so
                // a burst (the state sent after a reconnect, offers in quick succession) is not held back.
                post(process(payload));
                rest = std::chrono::milliseconds::zero();
            } else {
                check_dispatch_link(rest);
            }
            closing_->on_turn();
        } catch (const std::exception& error) {
            zel::log(logger::error, L"controller::thread_packets_listner: " + utf8_to_wide(error.what()));
        } catch (...) {
            zel::log(logger::error, L"controller::thread_packets_listner: a packet failed");
        }
        ++listener_turns_;
        if (rest == std::chrono::milliseconds::zero()) {
            continue;
        }
        ++listener_rests_;
        if (!pause(rest)) {
            break;
        }
    }
}

void controller::check_dispatch_link(std::chrono::milliseconds& rest) {
    // A login on its way brings the link up or reports its own failure: stopping the link under it would close
    // what it is connecting (a spurious "disconnect_local", another connect and a failed login).
    if (logins_pending_.load() > 0) {
        return;
    }
    // The activity first (state reads it): a packet stamped between the two reads must not look like a tick
    // from before it (the unsigned difference would wrap to a silence of 49 days).
    const packet_socket::link_state link = dispatch_connection_.state();
    if (link.connecting) {
        return;
    }
    const uint32_t silent_seconds = (clock::tick_ms() - link.last_activity) / 1000;
    if (silent_seconds <= silence_limit_seconds && link.running) {
        return;
    }
    // The decision holds for the link looked at only; a newer one (connected meanwhile) stays.
    if (!dispatch_connection_.stop(link.id)) {
        return;
    }
    notify_connection_state(true);
    reset_listener_event();
    login_values stored;
    uint64_t logouts;
    {
        std::lock_guard guard(login_lock_);
        if (!logged_in_.load() || stopping_.load()) {
            rest = reconnect_pause;
            return;
        }
        stored = login_values_;
        logouts = logouts_;
    }
    start_login(stored, logouts, true);
    rest = reconnect_pause;
}

// ------------------------------------------------------------------------------------------- request threads

bool controller::start_worker(std::function<void()> body) {
    return workers_.start([body = std::move(body)] {
        try {
            body();
        } catch (const std::exception& error) {
            zel::log(logger::error, L"controller: a worker thread failed: " + utf8_to_wide(error.what()));
        } catch (...) {
            zel::log(logger::error, L"controller: a worker thread failed");
        }
    });
}

bool controller::start_action(bool connect, command_ptr command, uint64_t logouts, bool reconnect) {
    auto task = std::make_shared<action_thread_args>(
        action_thread_args{this, connect, std::move(command), 0, logouts, reconnect});
    return start_worker([task] { task->owner->thread_action_org(*task); });
}

void controller::send_command(command_ptr command) {
    start_action(false, std::move(command));
}

void controller::send(command_ptr command) {
    start_action(false, std::move(command));
}

void controller::send(command_ptr command, std::function<void()> never_left) {
    auto task = std::make_shared<action_thread_args>(
        action_thread_args{this, false, std::move(command), 0, 0, false, std::move(never_left)});
    if (!start_worker([task] { task->owner->thread_action_org(*task); }) && task->never_left) {
        task->never_left();
    }
}

void controller::start_action_org_connect(command_ptr command) {
    uint64_t logouts;
    {
        std::lock_guard guard(login_lock_);
        logouts = logouts_;
    }
    ++logins_pending_; // the request thread takes it back
    if (!start_action(true, std::move(command), logouts)) {
        --logins_pending_;
    }
}

void controller::connect_dispatch(const std::vector<std::wstring>& addresses) {
    const int32_t known = address_index_.load();
    conn_manager_.establish();
    if (known >= 0 && static_cast<size_t>(known) < addresses.size()) {
        const colon_parts address = split_colon3(addresses[known]);
        if (dispatch_connection_.connect(address.first, address.second, dispatch_connect_seconds) == 1) {
            database_->clear_all();
        }
        return;
    }
    for (size_t i = 0; i < addresses.size(); ++i) {
        const colon_parts address = split_colon3(addresses[i]);
        if (dispatch_connection_.connect(address.first, address.second, dispatch_connect_seconds) == 1) {
            address_index_.store(static_cast<int32_t>(i));
            return;
        }
    }
}

void controller::thread_action_org(action_thread_args& task) {
    zel::log(logger::warning, L"controller::thread_action_org");
    // A login counts as on its way until this thread is through with it, whichever way it ends.
    struct pending_login {
        std::atomic<int>* count;
        ~pending_login() {
            if (count) {
                --*count;
            }
        }
    } const pending{task.connect ? &logins_pending_ : nullptr};
    std::lock_guard request(request_lock_);
    if (stopping_.load()) {
        return;
    }
    const auto logged_out_since_asked = [&] {
        std::lock_guard guard(login_lock_);
        return logouts_ != task.logouts;
    };
    if (task.connect && logged_out_since_asked()) {
        zel::log(logger::warning, L"controller::thread_action_org: the driver logged out, the login is not sent");
        set_listener_event();
        return;
    }
    if (task.reconnect && dispatch_connection_.is_running()) {
        // Another login brought the link up since the listener found it down.
        zel::log(logger::warning, L"controller::thread_action_org: the link is up again, no second login");
        set_listener_event();
        return;
    }
    const auto server = get_current_server();
    if (!server) {
        // Without this the screen that locked itself for the answer would stay locked.
        zel::log(logger::warning, L"controller::thread_action_org: no dispatch server is chosen");
        if (task.never_left) {
            task.never_left();
        }
        notify_connection_state(true);
        return;
    }
    if (!dispatch_connection_.is_running() && task.connect) {
        connect_dispatch(server->get_server_addrs());
        if (!dispatch_connection_.is_running()) {
            notify_connection_state(true);
        }
    }
    if (dispatch_connection_.is_running()) {
        const uint64_t link = dispatch_connection_.link_id();
        const bytes answer = dispatch_connection_.send_and_wait(utf8_bytes(task.command->to_json()), answer_seconds);
        if (answer.empty()) {
            dispatch_connection_.stop(link);
            notify_connection_state(true);
        } else {
            const zel_api::update_mask mask = process(answer);
            const auto& result = mask.payload();
            // Before the screens hear of the result, so that they find the driver logged in (post stops the
            // closed order's taximeter).
            const bool login_ok = mask.test(zel_api::cmd_result_name()) && result && result->ok &&
                                  result->cmd_name == zel_api::login_name();
            bool logged_out;
            {
                std::lock_guard guard(login_lock_);
                logged_out = task.connect && logouts_ != task.logouts;
                if (login_ok && !logged_out) {
                    logged_in_.store(true);
                }
            }
            if (logged_out) {
                // Otherwise the late answer would log the driver back in and the listener would keep the link.
                zel::log(logger::warning, L"controller::thread_action_org: the login was answered after the driver "
                                          L"logged out; the link is closed");
                dispatch_connection_.stop(link);
            }
            post(mask);
        }
    } else if (task.never_left) {
        // Its sender waits for the answer: it hears that none will come, and the screen that locked itself
        // for it is freed as on a lost link.
        zel::log(logger::warning, L"controller::thread_action_org: the link is down, the request is not sent");
        task.never_left();
        notify_connection_state(true);
    }
    set_listener_event();
}

void controller::request_callsign_list(const std::wstring& main_id, const std::wstring& local_id,
                                       int64_t organization_id, int32_t server_index) {
    auto task = std::make_shared<action_thread_args>(action_thread_args{
        this, true,
        std::make_unique<zel_api::command::get_callsign_list_for_device>(local_id, main_id, organization_id),
        server_index});
    start_worker([task] { task->owner->thread_action_org_new_connect(*task); });
}

void controller::thread_action_org_new_connect(action_thread_args& task) {
    zel::log(logger::warning, L"controller::thread_action_org_new_connect");
    packet_socket connection;
    {
        std::lock_guard guard(temporary_lock_);
        if (stopping_.load()) {
            return;
        }
        temporary_connections_.insert(&connection);
    }
    const auto servers = database_->get_device_servers();
    if (task.server_index >= 0 && static_cast<size_t>(task.server_index) < servers.size()) {
        for (const auto& text : servers[task.server_index]->get_server_addrs()) {
            const colon_parts address = split_colon3(text);
            if (connection.connect(address.first, address.second, dispatch_connect_seconds) == 1) {
                break;
            }
        }
    }
    if (connection.is_running()) {
        const bytes answer = connection.send_and_wait(utf8_bytes(task.command->to_json()), answer_seconds);
        if (answer.empty()) {
            notify_temporary_link_closed();
        } else {
            post(process(answer));
        }
    }
    {
        std::lock_guard guard(temporary_lock_);
        temporary_connections_.erase(&connection);
    }
    connection.stop();
    notify_temporary_link_closed();
    zel::log(logger::warning, L"controller::thread_action_org_new_connect::exit");
}

// ------------------------------------------------------------------------------------------------------ login

void controller::connect_org(int32_t server_index, const std::wstring& pin, int64_t driver_id) {
    // Counted before the stop, so that the listener does not take the stopped link for a lost one.
    ++logins_pending_;
    if (logged_in_.load()) {
        dispatch_connection_.stop();
    }
    login_values values{server_index, pin, driver_id};
    uint64_t logouts;
    {
        std::lock_guard guard(login_lock_);
        login_values_ = values;
        logouts = logouts_;
    }
    start_login(values, logouts, false);
    --logins_pending_;
}

void controller::start_login(const login_values& values, uint64_t logouts, bool reconnect) {
    server_index_.store(values.server_index);
    const auto servers = database_->get_device_servers();
    const int64_t org_id = values.server_index >= 0 && static_cast<size_t>(values.server_index) < servers.size()
                               ? servers[values.server_index]->org_id
                               : 0;
    const std::wstring serial = device_serial();
    const bool has_serial = !serial.empty();
    ++logins_pending_; // the request thread takes it back
    if (!start_action(true,
                      std::make_unique<zel_api::command::login>(
                          zel_api::program_version(), org_id, has_serial ? serial : device_id(),
                          has_serial ? device_id() : device_main_id(), values.pin, L"", 0, values.driver_id),
                      logouts, reconnect)) {
        --logins_pending_;
    }
}

void controller::check_close_order_result(const zel_api::update_mask& mask) {
    const auto& result = mask.payload();
    if (!mask.test(zel_api::cmd_result_name()) || !result || !result->ok ||
        result->cmd_name != zel_api::close_order_name()) {
        return;
    }
    gps::taximeter* taximeter = database_->get_taximeter();
    // The order id compared with the literal "1" is kept as it was designed.
    if (taximeter && taximeter->order_id() == L"1") {
        taximeter->stop();
    }
}

// -------------------------------------------------------------------------------------------------- positions

std::function<void(const gps::location&)> controller::make_gps_callback() {
    return [hook = gps_hook_](const gps::location& fix) {
        std::lock_guard guard(hook->lock);
        if (hook->owner) {
            hook->owner->on_gps_position(fix);
        }
    };
}

void controller::on_gps_position(const gps::location& fix) {
    send_gps_position(fix);
    gps::location copy = fix;
    if (database_->get_current_order()) {
        copy.flag = 2;
    }
    tracks_->add(copy);
}

void controller::flush_track() {
    tracks_->flush();
}

void controller::send_gps_position(const gps::location& fix) {
    if (server_index_.load() == -1 || fix.accuracy > good_accuracy) {
        return;
    }
    const int64_t now = now_seconds();
    gps::location position;
    position.accuracy = fix.accuracy;
    position.altitude = fix.altitude;
    position.latitude = fix.latitude;
    position.longitude = fix.longitude;
    if (last_position_.accuracy > good_accuracy) {
        last_position_ = position;
        last_position_time_ = now;
        return;
    }
    const int64_t elapsed = now - last_position_time_;
    if (gps::geo_distance(last_position_, position) <= report_distance_m && elapsed < report_interval_s) {
        return;
    }
    send_command(std::make_unique<zel_api::command::gps_position>(
        fix.longitude, fix.latitude, static_cast<int32_t>(fix.altitude), static_cast<int32_t>(fix.speed),
        static_cast<int32_t>(fix.accuracy), fix.course));
    last_position_ = position;
    last_position_time_ = now;
}

} // namespace zel::controller_
