// The closed-offer notice (panel 32): "ВЫ НЕ УСПЕЛИ ВЗЯТЬ ЗАКАЗ", the picture of the order gone (skin 2202) and
// the line "Заказ отдан другому водителю"; "Прочитал" returns to the first panel. Pushed over the offer or the
// fine warning when the server reports "order-offer-cancel"; it needs no stored offer. UI thread only.
#pragma once

#include <memory>

#include "form/order/panel_order_offer_fine.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class image_control;

class panel_order_offer_fine_close : public panel_order_offer_fine {
public:
    explicit panel_order_offer_fine_close(manager_2& form);
    ~panel_order_offer_fine_close() override;

    static constexpr int id = panel_ids::offer_closed;

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;

    // Tests look at these while the notice is shown.
    frame_text_button* read_button() const {
        return read_;
    }
    image_control* picture() const {
        return picture_;
    }

private:
    // Owned by the panel base; forgotten in hide.
    frame_text_button* read_ = nullptr;
    image_control* picture_ = nullptr;
};

} // namespace zel::form
