// The bill (panel 25) of a landscape screen: the sheet in the left column, "Завершить заказ" over "Назад" at the
// bottom of the right column, two separator lines between the columns, each column its own shade. It overrides
// the layout only: figures, questions, requests and navigation are the portrait panel's. UI thread only.
#pragma once

#include "form/order/panel_work_bill.h"

namespace zel::form {

class panel_work_bill_hor : public panel_work_bill {
public:
    explicit panel_work_bill_hor(manager_2& form);
    ~panel_work_bill_hor() override;

protected:
    rect sheet_area() const override;
    button_places place_buttons(int bw, int bh) const override;
    void paint_columns(Graphics& g, const rect& update) override;
};

} // namespace zel::form
