// The registration code screen of a landscape screen (panel 19): the hint and the code field in the left half
// of the work rectangle, the keypad filling the right half. Behaviour and texts are the portrait screen's. UI
// thread only.
#pragma once

#include "form/account/panel_http_reg_pincode.h"

namespace zel::form {

class panel_http_reg_pincode_hor : public panel_http_reg_pincode {
public:
    explicit panel_http_reg_pincode_hor(manager_2& form) : panel_http_reg_pincode(form) {}

protected:
    areas screen_areas() const override {
        return {left_half(), right_half()};
    }
};

} // namespace zel::form
