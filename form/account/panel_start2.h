// The start screen (panel 5): the dispatch servers of this device as rows, with "Создать профиль" (the
// registration SMS) and "Обновить" (the exchange with the login servers again) below them. A row's tap drops
// the dispatch connection and asks that server for the device's call signs on a connection of its own; its
// answer opens the call sign screen. An SMS that cannot be sent, or no SMS number at all, opens the country
// screen for the registration by telephone.
//
// It keeps a copy of the dispatch-server list (re-read at every show and on the events that change it) and the
// row last tapped; its pictures live from show to hide, its controls (the panel base's) until the clear after
// it. The landscape twin (panel_start2_hor) overrides the layout and the background only. UI thread only.
//
// The GUI lock: a row, "Обновить" and "Создать профиль" with a number lock once; every event that can answer
// one of them unlocks (an unlock at 0 does nothing), so the screen is never left locked:
//   row tap        --"cmd-result" for "get-callsign-list-for-device" ok--> call sign screen (27, the row)
//   row tap        --any other "cmd-result", "disconnect_local"----------> stays
//   "Обновить"     --"obj-device-server", "disconnect_global"------------> rows reloaded
//   "Создать профиль", a number --"command_sms_register_ok"--> the exchange again, with the SMS key
//                                --"command_sms_register_error"--> country screen (29)
//   "Создать профиль", no number --at once, unlocked--> country screen (29)
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "api/command/received/obj_device_server.h"
#include "form/controls/list_row_source.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class frame_image_button;
class image_button;
class list_view;

class panel_start2 : public panel_base, public list_row_source {
public:
    static constexpr int id = panel_ids::start;

    // Where every control goes; lines are separators (rectangle, 0xRRGGBB) on layer 2.
    struct layout {
        rect create_profile;
        rect refresh;
        rect list;
        rect up;
        rect down;
        std::vector<std::pair<rect, unsigned>> lines;
    };

    explicit panel_start2(manager_2& form);
    ~panel_start2() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;
    void on_command(const zel_api::update_mask& mask) override;
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;

    // The buttons.
    void on_refresh();
    void on_create_profile();

    // The rows.
    int row_count() const override;
    size row_size(int row) const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;
    int row_selected(int) const override {
        return 0;
    }

    // The row's text: the name, and the city in brackets after it when there is one.
    static std::wstring row_text(const zel_api::command::obj_device_server& server);

    // Tests look at these while the screen is shown.
    list_view* list() const {
        return list_;
    }
    frame_image_button* create_profile_button() const {
        return create_profile_;
    }
    frame_image_button* refresh_button() const {
        return refresh_;
    }
    image_button* up_arrow() const {
        return up_;
    }
    image_button* down_arrow() const {
        return down_;
    }
    int chosen_row() const {
        return chosen_row_;
    }

protected:
    manager_2& form() const {
        return form_;
    }
    // The rectangles for the work and screen rectangles; the arrows' size is (arrow_w, arrow_h).
    virtual layout lay_out(int arrow_w, int arrow_h) const;

private:
    void reload_rows();

    manager_2& form_;
    // 1004, 1005 (button icons), 1011, 1012 (row icon and its overlay), 1046, 1047, 1044, 1045 (arrows).
    std::array<std::shared_ptr<Image>, 8> images_;
    // The controls touched after show (the panel base owns them, the separator lines too); null while hidden.
    list_view* list_ = nullptr;
    frame_image_button* create_profile_ = nullptr;
    frame_image_button* refresh_ = nullptr;
    image_button* up_ = nullptr;
    image_button* down_ = nullptr;
    std::vector<std::shared_ptr<const zel_api::command::obj_device_server>> rows_;
    int chosen_row_ = -1;
};

} // namespace zel::form
