// The call sign screen (panel 27): the call signs under which this device may work on the chosen dispatch
// server, as the server's answer to "get-callsign-list-for-device" left them in the store. A row's tap opens
// the PIN login screen for that server and that call sign's driver.
//
// It keeps the parameter's server index and a copy of the call-sign list, both taken at show (the list stays
// until the next show, and a list that changes meanwhile shows at the next one); the list control and the arrows
// and their pictures live from show to hide. The same screen serves both screen shapes. UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "api/command/received/callsign_info.h"
#include "form/list_panel_base.h"
#include "form/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class image_button;
class list_view;

class panel_set_signcall : public panel_base, public list_panel_base {
public:
    static constexpr int id = 27;

    explicit panel_set_signcall(manager_2& form);
    ~panel_set_signcall() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;

    // The rows.
    int row_count() const override;
    size row_size(int row) const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;
    int row_selected(int) const override {
        return 0;
    }

    // Tests look at these while the screen is shown.
    list_view* list() const {
        return list_.get();
    }
    image_button* up_arrow() const {
        return up_.get();
    }
    image_button* down_arrow() const {
        return down_.get();
    }

private:
    manager_2& form_;
    // Up arrow normal and pressed (1046, 1047), down arrow normal and pressed (1044, 1045).
    std::array<std::shared_ptr<Image>, 4> arrows_;
    std::unique_ptr<image_button> up_;
    std::unique_ptr<image_button> down_;
    std::unique_ptr<list_view> list_;
    std::int32_t server_index_ = -1;
    std::vector<std::shared_ptr<const zel_api::command::callsign_info>> rows_;
};

} // namespace zel::form
