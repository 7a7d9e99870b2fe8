// The close-order parameters (panel 28) of a landscape screen: the rows stacked in the left half of the work
// rectangle, the keypad filling the right half. Everything else is the portrait panel's. UI thread only.
#pragma once

#include "form/order/panel_close_order_param.h"

namespace zel::form {

class panel_close_order_param_hor : public panel_close_order_param {
public:
    explicit panel_close_order_param_hor(manager_2& form) : panel_close_order_param(form) {}

protected:
    rect rows_area() const override;
    rect keypad_area(int row_height) const override;
};

} // namespace zel::form
