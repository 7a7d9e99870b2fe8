// The ride panel (24) of a landscape screen: the figures, switch and finish button in the left half of the
// work rectangle, the tabs at the top of the right half with the lists and the tariff below them. Everything
// else is the portrait panel's. UI thread only.
#pragma once

#include "form/order/panel_work_execute.h"

namespace zel::form {

class panel_work_execute_hor : public panel_work_execute {
public:
    explicit panel_work_execute_hor(manager_2& form) : panel_work_execute(form) {}

protected:
    areas layout_areas() const override;
};

} // namespace zel::form
