// The PIN login screen (panel 7): the chosen dispatch server's name, "Введите PIN", four indicators and the
// keypad. Typed digits are never shown; each fills the next indicator, and the fourth locks the GUI and logs in
// on that server with the chosen call sign's driver. The "login" result either returns to the first panel or
// clears the PIN and raises the server's error in one dialog.
//
// It keeps a copy of the dispatch-server list taken at every show, the PIN, the parameter's server index and
// driver id, and the flag of its error dialog; its pictures live from show to hide, its controls (the panel
// base's) until the clear after it. The landscape twin (panel_login_hor) overrides the layout only. UI thread
// only.
//
// States of one showing:
//   typing   --digit, fewer than 4--> typing      --delete--> typing (one digit less)
//   typing   --fourth digit--> waiting (GUI locked, "login" sent)
//   waiting  --"cmd-result" for "login" ok--> first panel of the stack
//   waiting  --"cmd-result" for "login" refused--> typing, PIN empty; the first refusal of the showing raises the
//              dialog (sound 4), logs out and forgets the chosen server
//   any      --"cmd-result" for another command, or without its record--> typing, PIN empty, unlock
//   any      --server index that names no dispatch server--> start panel over the first panel, nothing sent
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "api/command/received/obj_device_server.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class keypad;
class state_button;
class text_label;

class panel_login : public panel_base {
public:
    static constexpr int id = panel_ids::login;
    static constexpr std::size_t pin_length = 4;

    // Where every control goes.
    struct layout {
        rect name;
        rect prompt;
        std::array<rect, 4> indicators;
        rect keypad;
    };

    explicit panel_login(manager_2& form);
    ~panel_login() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;
    void on_command(const zel_api::update_mask& mask) override;

    // The keypad's key codes: 0-8 the digits 1-9, 9 the point, 10 the digit 0, 11 delete.
    void on_key(int key);
    void on_dialog_closed(int answer);

    // The portrait rule in an area: labels and indicators from its top, the keypad below them to its bottom.
    static layout portrait_layout(const rect& area, float scale, int gap, int indicator_w, int indicator_h);

    // Tests look at these while the screen is shown.
    const std::wstring& pin() const {
        return pin_;
    }
    text_label* server_name() const {
        return name_;
    }
    state_button* indicator(int index) const {
        return indicators_[static_cast<std::size_t>(index)];
    }
    keypad* keys() const {
        return keypad_;
    }

protected:
    manager_2& form() const {
        return form_;
    }
    // The rectangles for the work rectangle; gap is the indicators' spacing (indicator width / 11).
    virtual layout lay_out(int gap, int indicator_w, int indicator_h) const;

private:
    void set_indicators();
    // The server index is checked against the list: false (logged) when it names no entry.
    bool server_known(const std::vector<std::shared_ptr<const zel_api::command::obj_device_server>>& servers) const;
    // Replaces the stack above the first panel by the start panel.
    void back_to_start();
    void refused(const std::wstring& error);

    manager_2& form_;
    // 1013 (its size places the indicators), then the indicator states 0, 1 and 2: 1013, 1016, 1015.
    std::shared_ptr<Image> size_image_;
    std::array<std::shared_ptr<Image>, 3> state_images_;
    std::wstring pin_;
    // The controls touched after show (the panel base owns them); null while hidden.
    text_label* name_ = nullptr;
    std::array<state_button*, 4> indicators_{};
    keypad* keypad_ = nullptr;
    std::uint32_t server_index_ = 0;
    std::vector<std::shared_ptr<const zel_api::command::obj_device_server>> servers_;
    bool dialog_raised_ = false;
    std::int64_t driver_id_ = 0;
    // Worked out at the first show and kept.
    int gap_ = -1;
};

} // namespace zel::form
