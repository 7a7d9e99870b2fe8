// The timeout notice (panel 31): "ЗАКАЗ НЕ ВЗЯТ ВОВРЕМЯ" with the fine of the lapsed offer (rating and roubles,
// each box hidden when the offer carries no such fine) and the driver-status box below them; "Прочитал" returns
// to the first panel. Pushed over the offer or the fine warning when the server reports "order-offer-timeout".
// Without a stored offer it pops itself after making its button and title. UI thread only.
#pragma once

#include <memory>

#include "form/order/panel_order_offer_fine.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class status_text_box;

class panel_order_offer_fine_timeout : public panel_order_offer_fine {
public:
    explicit panel_order_offer_fine_timeout(manager_2& form);
    ~panel_order_offer_fine_timeout() override;

    static constexpr int id = panel_ids::offer_timeout;

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;

    // Tests look at these while the notice is shown.
    frame_text_button* read_button() const {
        return read_;
    }
    caption_value_box* rating_box() const {
        return boxes_.rating;
    }
    caption_value_box* roubles_box() const {
        return boxes_.roubles;
    }
    status_text_box* status_box() const {
        return status_;
    }

private:
    // Owned by the panel base; forgotten in hide.
    frame_text_button* read_ = nullptr;
    fine_boxes boxes_;
    status_text_box* status_ = nullptr;
};

} // namespace zel::form
