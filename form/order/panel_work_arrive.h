// panel_work_arrive: waiting for the client (panel 22, after the arrival): the current order's card captioned
// "По адресу" ("Ожидание клиента" in landscape), its timer counting from the status-3 stamp, or in its place
// "Позвонить клиенту" when the order carries the client's telephone, and "Поехали", which sends
// "execute-order"; its success, or the order reaching "s" 8, brings the ride screen (24). With no current
// order at show it goes back to the panel below. The shape and its states: panel_work_card.
//
// The call binds the telephone service for the one tap; without it (Linux) the tap only logs a line.
#pragma once

#include "form/order/panel_work_card.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_work_arrive : public panel_work_card {
public:
    static constexpr int id = panel_ids::arrived;

    explicit panel_work_arrive(manager_2& form);

    int panel_id() const override {
        return id;
    }

protected:
    zel_api::status_stamp stamp() const override;
    void send_action(const std::wstring& order_id) override;
    void no_order_at_show() override;
    void filled(const zel_api::command::order& o) override;
    void on_call() override;
};

} // namespace zel::form
