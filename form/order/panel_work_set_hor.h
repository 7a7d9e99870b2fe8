// panel_work_set_hor: the on-the-way screen (21) on a landscape screen: the tabs and the card in the left
// column, "На месте" over "Отменить" at the bottom of the right column. It overrides the layout only; behaviour:
// panel_work_set.
#pragma once

#include "form/order/panel_work_set.h"

namespace zel::form {

class panel_work_set_hor : public panel_work_set {
public:
    explicit panel_work_set_hor(manager_2& form) : panel_work_set(form) {}

protected:
    layout place() const override {
        return place_in_columns();
    }
};

} // namespace zel::form
