#include "form/order/panel_work_execute_hor.h"

namespace zel::form {

panel_work_execute::areas panel_work_execute_hor::layout_areas() const {
    const rect& r = own_rect();
    areas a;
    a.ride = rect{r.x, r.y, r.w / 2, r.h};
    a.lists = rect{r.x + r.w / 2, r.y, r.w - r.w / 2, r.h};
    a.tabs_below_ride = false;
    return a;
}

} // namespace zel::form
