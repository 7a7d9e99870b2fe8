// The PIN login screen of a landscape screen (panel 7): the portrait screen's labels and indicators in the left
// half of the work rectangle, the keypad filling the right half. Behaviour, texts and pictures are the portrait
// screen's. UI thread only.
#pragma once

#include "form/account/panel_login.h"

namespace zel::form {

class panel_login_hor : public panel_login {
public:
    explicit panel_login_hor(manager_2& form) : panel_login(form) {}

    rect left_half() const {
        return {own_.x, own_.y, own_.w / 2, own_.h};
    }
    rect right_half() const {
        return {own_.x + own_.w / 2, own_.y, own_.w - own_.w / 2, own_.h};
    }

protected:
    layout lay_out(int gap, int indicator_w, int indicator_h) const override;
};

} // namespace zel::form
