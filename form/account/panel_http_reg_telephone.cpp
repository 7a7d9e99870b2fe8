// Sections: the number | show | keys | the server's answer.
#include "form/account/panel_http_reg_telephone.h"

#include <array>

#include "api/command/received/login_reply.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/keypad.h"
#include "form/controls/keypad_dialog.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr wchar_t hint_text[] =
    L"Для регистрации введите свой номер телефона. На него будет выслана СМС с кодом подтверждения.";
constexpr wchar_t sample_text[] = L"+78 (555) 555-5555";
constexpr int font_size = 55;
constexpr int small_font_size = 43;

// By country index (the country screen's rows).
constexpr std::array<const wchar_t*, 7> prefixes = {L"+7", L"+7", L"+37", L"+38", L"+1", L"+35", L"+99"};

} // namespace

// --- the number

std::wstring panel_http_reg_telephone::dialling_prefix(int country) {
    return country >= 0 && static_cast<std::size_t>(country) < prefixes.size()
               ? prefixes[static_cast<std::size_t>(country)]
               : L"+7";
}

std::wstring panel_http_reg_telephone::after_key(const std::wstring& number, int key) {
    std::wstring text = number;
    const std::size_t n = number.size();
    if (const wchar_t digit = keypad::digit_of(key); digit != 0) {
        if (n >= full_length) {
            return text;
        }
        if (n == 0) {
            text += L" (";
        } else if (n == 10) {
            text += L"-";
        }
        text.push_back(digit);
        if (text.size() == 5) {
            text += L") ";
        }
        return text;
    }
    if (key != keypad::erase_key || n < 3) {
        return text;
    }
    switch (n) {
    case 3: // " (" and the first digit
        return {};
    case 7: // the third digit and ") "
        return text.substr(0, 4);
    case 11: // the sixth digit and "-"
        return text.substr(0, 9);
    default:
        text.pop_back();
        return text;
    }
}

// --- show

panel_http_reg_telephone::panel_http_reg_telephone(manager_2& form)
    : panel_http_reg_entry(form, hint_text, sample_text, font_size, small_font_size) {}

void panel_http_reg_telephone::show(const panel_param* param) {
    build_controls();
    const auto* country = param_as<number_param>(param);
    country_ = country ? static_cast<int>(country->value) : -1;
    prefix_ = dialling_prefix(country_);
    // Back from the dialog of a refused or failed request, the driver corrects the number instead of typing
    // it all again.
    if (!back_from_dialog_) {
        number_.clear();
    }
    back_from_dialog_ = false;
    show_number();
}

void panel_http_reg_telephone::show_number() {
    show_text(prefix_ + number_);
}

// --- keys

void panel_http_reg_telephone::on_key(int key) {
    if (key == keypad_dialog::ok_code) {
        if (number_.size() != full_length) {
            return;
        }
        controller* c = controller::instance();
        if (!c) {
            return;
        }
        form().lock();
        c->start_http_reg(L"/pda/?id=" + phone_for_url(prefix_ + number_));
        return;
    }
    if (key == keypad_dialog::cancel_code) {
        form().pop_panel();
        return;
    }
    number_ = after_key(number_, key);
    show_number();
}

// --- the server's answer

void panel_http_reg_telephone::on_command(const zel_api::update_mask& mask) {
    if (!mask.test(zel_api::key::command_http_reg)) {
        return;
    }
    const controller* c = controller::instance();
    const auto reply = c ? c->get_http_reg_result() : nullptr;
    if (reply) {
        if (reply->status == L"ok") {
            form().push_panel(panel_ids::reg_pincode, make_text_param(phone_for_url(prefix_ + number_)));
        } else {
            std::wstring message;
            for (const auto& error : reply->errors) {
                message += error.text + L" ";
            }
            log(logger::warning, L"panel_http_reg_telephone: the number was not accepted: " + message);
            form().push_panel(panel_ids::dialog,
                              std::make_shared<dialog_request>(dialog_request::message, message,
                                                               [this](int answer) { on_dialog_closed(answer); }));
        }
    }
    form().unlock();
}

void panel_http_reg_telephone::on_dialog_closed(int) {
    back_from_dialog_ = true;
    form().pop_panel();
}

} // namespace zel::form
