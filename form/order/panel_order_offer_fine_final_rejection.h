// The fined-refusal notice (panel 33): "ЗА ОТКАЗ ОТ ЗАКАЗА" with the fine that the refusal cost (rating and
// roubles, each box hidden when the offer carries no such fine); "Прочитал" returns to the first panel. Pushed
// by the fine warning when its refusal succeeded. Without a stored offer it pops itself after making its
// button and title. UI thread only.
#pragma once

#include <memory>

#include "form/order/panel_order_offer_fine.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_order_offer_fine_final_rejection : public panel_order_offer_fine {
public:
    explicit panel_order_offer_fine_final_rejection(manager_2& form);
    ~panel_order_offer_fine_final_rejection() override;

    static constexpr int id = panel_ids::offer_final_rejection;

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

private:
    // Owned by the panel base; forgotten in hide.
    frame_text_button* read_ = nullptr;
    fine_boxes boxes_;
};

} // namespace zel::form
