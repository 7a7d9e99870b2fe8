// panel_work_arrive_hor: the waiting screen (22) on a landscape screen: the tabs and the card captioned
// "Ожидание клиента" in the left column, "Поехали" over "Отменить" at the bottom of the right column; it offers
// the call like the portrait screen. It overrides the layout only; behaviour: panel_work_arrive.
#pragma once

#include "form/order/panel_work_arrive.h"

namespace zel::form {

class panel_work_arrive_hor : public panel_work_arrive {
public:
    explicit panel_work_arrive_hor(manager_2& form) : panel_work_arrive(form) {}

protected:
    layout place() const override {
        return place_in_columns();
    }
};

} // namespace zel::form
