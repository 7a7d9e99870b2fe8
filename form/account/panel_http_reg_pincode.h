// The registration code screen (panel 19): the second step of registering the device over HTTP. The driver
// types the four-digit code that the SMS brought; "Ок" sends the telephone number (the show parameter, in URL
// form), the code and the device's ids in Base64 to the device-registration server. The server's answer shows
// in the message dialog: closing it after a success leaves the registration for the start screen (the dialog,
// this screen, the telephone and the country screens go); after a refusal the code is typed again.
//
// The ids are the pair (A, B): (serial number, device id) when the device has a serial number, else (device id,
// main id). The Base64 text is percent-encoded in the query ("+", "/", "=" as "%2B", "%2F", "%3D"), so that a
// server decoding the query as a form reads exactly the Base64 text.
//
// It keeps the code, the number and the success flag; the controls are made at every show
// (panel_http_reg_entry). The landscape twin (panel_http_reg_pincode_hor) differs in layout only. UI thread only.
//
// States of one showing:
//   typing  --digit below 4, delete, "Ок" short of 4 digits--> typing
//   typing  --"Ок" with 4 digits--> waiting (GUI locked, the request sent)
//   waiting --"command_http_reg"--> dialog with the server's text (success) or error texts; unlock
//   dialog  --closed after a success--> four panels popped (start screen)
//   dialog  --closed after a refusal--> typing, the code empty
#pragma once

#include <string>

#include "form/account/panel_http_reg_entry.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_http_reg_pincode : public panel_http_reg_entry {
public:
    static constexpr int id = panel_ids::reg_pincode;
    static constexpr std::size_t code_length = 4;

    explicit panel_http_reg_pincode(manager_2& form);

    // "1;" A ";" B ";" code ";" with A and B as above.
    static std::wstring registration_params(const std::wstring& serial, const std::wstring& device_id,
                                            const std::wstring& main_id, const std::wstring& code);
    // "+", "/" and "=" of a Base64 text percent-encoded; every other character as it is.
    static std::wstring percent_encode_base64(const std::wstring& base64);

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void on_command(const zel_api::update_mask& mask) override;
    void on_key(int key) override;
    void on_dialog_closed(int answer);

    const std::wstring& code() const {
        return code_;
    }
    const std::wstring& telephone() const {
        return telephone_;
    }

private:
    std::wstring code_;
    std::wstring telephone_;
    bool succeeded_ = false;
};

} // namespace zel::form
