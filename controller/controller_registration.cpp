// The controller's exchange with the login servers, the server list file and the two registrations (SMS and
// HTTP). These threads run without the request lock.
#include "controller/controller.h"

#include "api/command/sent/cmd_get_profile.h"
#include "api/command_names.h"
#include "controller/registration_request.h"
#include "controller/server_list_file.h"
#include "foundation/logger.h"
#include "foundation/sms_send.h"
#include "foundation/text_utils.h"

namespace zel::controller_ {
namespace {

constexpr int32_t device_type = 1;

} // namespace

// ------------------------------------------------------------------------------------ login-server exchange

void controller::login_reg(bool with_sms_key) {
    // Two exchanges would share the login connection, and the end of the first would stop the second.
    if (registering_.exchange(true)) {
        zel::log(logger::warning, L"controller::login_reg: an exchange with the login servers is under way, "
                                  L"this one is ignored");
        return;
    }
    const std::wstring serial = device_serial();
    std::wstring sms_key;
    if (with_sms_key) {
        if (const auto zero_params = database_->get_zero_params_ref()) {
            sms_key = zero_params->sms_key;
        }
    }
    const bool has_serial = !serial.empty();
    auto command = std::make_unique<zel_api::command::cmd_get_profile>(
        device_type, has_serial ? device_id() : device_main_id(), has_serial ? serial : device_id(), sms_key,
        zel_api::program_version());
    database_->clear_device_servers();
    auto task = std::make_shared<action_thread_args>(action_thread_args{this, true, std::move(command), 0});
    if (!start_worker([task] { task->owner->thread_action_reg(*task); })) {
        registering_.store(false);
    }
}

void controller::thread_action_reg(action_thread_args& task) {
    zel::log(logger::warning, L"controller::thread_action_reg");
    registering_.store(true);
    if (task.connect) {
        conn_manager_.establish();
        for (const auto& server : settings_.login_servers) {
            if (stopping_.load() || login_connection_.connect(server.host, server.port, login_connect_seconds) == 1) {
                break;
            }
        }
    }
    if (login_connection_.is_running()) {
        const std::string text = wide_to_utf8(task.command->to_json());
        const bytes answer = login_connection_.send_and_wait(bytes(text.begin(), text.end()), answer_seconds);
        if (!answer.empty()) {
            const zel_api::update_mask mask = process(answer);
            if (!database_->get_device_servers().empty()) {
                save_servers();
            }
            post(mask);
        }
    }
    login_connection_.stop();
    registering_.store(false);
    notify_connection_state(false);
    if (database_->get_device_servers().empty()) {
        post(process_text(load_cached_servers()));
    }
}

void controller::save_servers() {
    server_list_file::save(database_->get_device_servers());
}

std::wstring controller::load_cached_servers() {
    return server_list_file::load();
}

// ------------------------------------------------------------------------------------------- SMS registration

void controller::sms_register() {
    const std::wstring serial = device_serial();
    const std::wstring ids =
        L"1;" + (serial.empty() ? device_id() + L";" + device_main_id() : serial + L";" + device_id());
    const auto zero_params = database_->get_zero_params_ref();
    const std::wstring text = L"a2:" + ids + L";" + (zero_params ? zero_params->sms_key : std::wstring());
    const std::wstring number = zero_params ? zero_params->sms : std::wstring();
    if (number.empty()) {
        return;
    }
    start_worker([this, text, number] { thread_sms_reg(text, number); });
}

void controller::thread_sms_reg(const std::wstring& text, const std::wstring& number) {
    zel::log(logger::warning, L"controller::thread_sms_reg");
    const bool sent = sms_send(number, text, false);
    post_event(sent ? zel_api::command_sms_register_ok_name() : zel_api::command_sms_register_error_name());
}

// ------------------------------------------------------------------------------------------ HTTP registration

void controller::start_http_reg(const std::wstring& path) {
    start_worker([this, path] { thread_http_reg(path); });
}

void controller::thread_http_reg(const std::wstring& path) {
    zel::log(logger::warning, L"controller::thread_http_reg");
    http_request request{{}, path, settings_.registration};
    http_get(request);
    database_->set_http_reg_result(registration_reply(request.response));
    post_event(zel_api::command_http_reg_name());
}

} // namespace zel::controller_
