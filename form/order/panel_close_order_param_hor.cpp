#include "form/order/panel_close_order_param_hor.h"

namespace zel::form {

rect panel_close_order_param_hor::rows_area() const {
    const rect& R = own_rect();
    return {R.x, R.y, R.w / 2, R.h};
}

rect panel_close_order_param_hor::keypad_area(int) const {
    const rect& R = own_rect();
    return {R.x + R.w / 2, R.y, R.w - R.w / 2, R.h};
}

} // namespace zel::form
