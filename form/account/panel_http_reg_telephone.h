// The registration telephone screen (panel 18): the first step of registering the device over HTTP. The driver
// types a ten-digit number, shown after the chosen country's dialling prefix as " (916) 123-4567"; "Ок" with the
// whole number locks the GUI and asks the device-registration server to send a code by SMS. An accepted number
// opens the code screen (panel 19) with the number in its URL form; a refusal raises the server's error texts in
// the message dialog, and closing it returns here with the number still typed.
//
// It keeps the number, the prefix and the country index between shows; the controls are made at every show
// (panel_http_reg_entry). A show from its own closed dialog keeps the number, any other show starts empty. The
// landscape twin (panel_http_reg_telephone_hor) differs in layout only. UI thread only.
//
// States of one showing:
//   typing  --digit, "Ок" short of 15 characters, delete, "." --> typing
//   typing  --"Ок" with 15 characters--> waiting (GUI locked, the request sent)
//   waiting --"command_http_reg" "ok"--> code screen pushed; unlock
//   waiting --"command_http_reg" other--> dialog with the error texts; unlock
//   dialog  --closed--> typing, the number kept
#pragma once

#include <string>

#include "form/account/panel_http_reg_entry.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_http_reg_telephone : public panel_http_reg_entry {
public:
    static constexpr int id = panel_ids::reg_telephone;
    // " (" three digits ") " three digits "-" four digits.
    static constexpr std::size_t full_length = 15;

    explicit panel_http_reg_telephone(manager_2& form);

    // The dialling prefix of a country index; "+7" for an index of no country.
    static std::wstring dialling_prefix(int country);
    // The number text after one key: the fixed form grows by digits, shrinks by delete; other keys leave it.
    static std::wstring after_key(const std::wstring& number, int key);

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void on_command(const zel_api::update_mask& mask) override;
    void on_key(int key) override;
    void on_dialog_closed(int answer);

    const std::wstring& number() const {
        return number_;
    }
    const std::wstring& prefix() const {
        return prefix_;
    }

private:
    void show_number();

    std::wstring number_;
    std::wstring prefix_;
    int country_ = -1;
    // Set by the closing of this screen's dialog, taken by the show that follows.
    bool back_from_dialog_ = false;
};

} // namespace zel::form
