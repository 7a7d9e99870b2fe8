// The call sign screen (panel 27): the call signs under which this device may work on the chosen dispatch
// server, as the server's answer to "get-callsign-list-for-device" left them in the store. A row's tap opens
// the PIN login screen for that server and that call sign's driver.
//
// It keeps the parameter's server index and a copy of the call-sign list, both taken at show (the list stays
// until the next show, and a list that changes meanwhile shows at the next one); the list and its arrows are the
// list screens' shape (list_panel). The same screen serves both screen shapes. UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "api/command/received/callsign_info.h"
#include "form/shell/list_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;

class panel_set_signcall : public list_panel {
public:
    static constexpr int id = panel_ids::set_signcall;

    explicit panel_set_signcall(manager_2& form);
    ~panel_set_signcall() override;

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;

    // The rows.
    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;
    int row_selected(int) const override {
        return 0;
    }

private:
    std::int32_t server_index_ = -1;
    std::vector<std::shared_ptr<const zel_api::command::callsign_info>> rows_;
};

} // namespace zel::form
