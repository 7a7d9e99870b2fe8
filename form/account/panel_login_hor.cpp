#include "form/account/panel_login_hor.h"

#include "form/shell/manager_2.h"

namespace zel::form {

panel_login::layout panel_login_hor::lay_out(int gap, int indicator_w, int indicator_h) const {
    layout l = portrait_layout(left_half(), form().get_scale(), gap, indicator_w, indicator_h);
    l.keypad = right_half();
    return l;
}

} // namespace zel::form
