// The registration telephone screen of a landscape screen (panel 18): the hint and the number field in the left
// half of the work rectangle, the keypad filling the right half. Behaviour and texts are the portrait screen's.
// UI thread only.
#pragma once

#include "form/account/panel_http_reg_telephone.h"

namespace zel::form {

class panel_http_reg_telephone_hor : public panel_http_reg_telephone {
public:
    explicit panel_http_reg_telephone_hor(manager_2& form) : panel_http_reg_telephone(form) {}

protected:
    areas screen_areas() const override {
        return {left_half(), right_half()};
    }
};

} // namespace zel::form
