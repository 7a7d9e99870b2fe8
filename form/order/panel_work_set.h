// panel_work_set: on the way to the client (panel 21, pushed after a successful "set-driver"): the current
// order's card captioned "По заказу", its timer counting from the status-2 stamp, and "На месте", which sends
// "driver-arrive"; its success, or the order reaching "s" 3, brings the waiting screen (22). With no current
// order at show the card stays empty and no timer runs. The shape and its states: panel_work_card.
#pragma once

#include "form/order/panel_work_card.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_work_set : public panel_work_card {
public:
    static constexpr int id = panel_ids::on_the_way;

    explicit panel_work_set(manager_2& form);

    int panel_id() const override {
        return id;
    }

protected:
    zel_api::status_stamp stamp() const override;
    void send_action(const std::wstring& order_id) override;
};

} // namespace zel::form
