// Sections: the request's texts | show | keys | the server's answer.
#include "form/account/panel_http_reg_pincode.h"

#include "api/command/received/login_reply.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/keypad.h"
#include "form/controls/keypad_dialog.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/device_info.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

// The dialog, this screen, the telephone screen and the country screen.
constexpr int panels_of_registration = 4;
constexpr wchar_t hint_text[] =
    L"На ваш номер было выслано SMS с кодом подтверждения. Введите его для завершения регистрации.";
constexpr wchar_t sample_text[] = L"+7 (555) 555-5555";
constexpr int font_size = 48;
constexpr int small_font_size = 38;

} // namespace

// --- the request's texts

std::wstring panel_http_reg_pincode::registration_params(const std::wstring& serial, const std::wstring& device_id,
                                                         const std::wstring& main_id, const std::wstring& code) {
    const std::wstring ids = serial.empty() ? device_id + L";" + main_id : serial + L";" + device_id;
    return L"1;" + ids + L";" + code + L";";
}

std::wstring panel_http_reg_pincode::percent_encode_base64(const std::wstring& base64) {
    std::wstring out;
    out.reserve(base64.size());
    for (const wchar_t ch : base64) {
        switch (ch) {
        case L'+':
            out += L"%2B";
            break;
        case L'/':
            out += L"%2F";
            break;
        case L'=':
            out += L"%3D";
            break;
        default:
            out.push_back(ch);
        }
    }
    return out;
}

// --- show

panel_http_reg_pincode::panel_http_reg_pincode(manager_2& form)
    : panel_http_reg_entry(form, hint_text, sample_text, font_size, small_font_size) {}

void panel_http_reg_pincode::show(const panel_param* param) {
    build_controls();
    const auto* number = param_as<text_param>(param);
    telephone_ = number ? number->value : std::wstring();
    code_.clear();
    show_text(code_);
}

// --- keys

void panel_http_reg_pincode::on_key(int key) {
    if (key == keypad_dialog::ok_code) {
        if (code_.size() != code_length) {
            return;
        }
        controller* c = controller::instance();
        const device_info* device = device_info::instance();
        if (!c || !device) {
            log(logger::error, L"panel_http_reg_pincode: no controller or device identity; the code is not sent");
            return;
        }
        const std::wstring params =
            registration_params(device->serial(), device->device_id(), device->main_id(), code_);
        form().lock();
        c->start_http_reg(L"/pda/?id=" + telephone_ + L"&pass=" + code_ + L"&params=" +
                          percent_encode_base64(base64_encode_w(params)));
        return;
    }
    if (key == keypad_dialog::cancel_code) {
        form().pop_panel();
        return;
    }
    if (const wchar_t digit = keypad::digit_of(key); digit != 0) {
        if (code_.size() < code_length) {
            code_.push_back(digit);
        }
    } else if (key == keypad::erase_key && !code_.empty()) {
        code_.pop_back();
    }
    show_text(code_);
}

// --- the server's answer

void panel_http_reg_pincode::on_command(const zel_api::update_mask& mask) {
    if (!mask.test(zel_api::key::command_http_reg)) {
        return;
    }
    const controller* c = controller::instance();
    if (const auto reply = c ? c->get_http_reg_result() : nullptr) {
        std::wstring message;
        succeeded_ = reply->status == L"ok";
        if (succeeded_) {
            message = reply->text;
        } else {
            for (const auto& error : reply->errors) {
                message += error.text + L" ";
            }
            log(logger::warning, L"panel_http_reg_pincode: the code was not accepted: " + message);
        }
        form().push_panel(panel_ids::dialog,
                          std::make_shared<dialog_request>(dialog_request::message, message,
                                                           [this](int answer) { on_dialog_closed(answer); }));
    }
    form().unlock();
}

void panel_http_reg_pincode::on_dialog_closed(int) {
    const int pops = succeeded_ ? panels_of_registration : 1;
    succeeded_ = false;
    for (int i = 0; i < pops; ++i) {
        form().pop_panel();
    }
}

} // namespace zel::form
