// The bill (panel 25) of a landscape screen: the sheet in the left column, "Завершить заказ" over "Назад" at the
// bottom of the right column, two separator lines between the columns, each column its own shade. Figures,
// questions, requests and navigation are the portrait panel's. UI thread only.
#pragma once

#include <memory>

#include "form/order/panel_work_bill.h"

namespace zel::form {

class panel_work_bill_hor : public panel_work_bill {
public:
    explicit panel_work_bill_hor(manager_2& form);
    ~panel_work_bill_hor() override;

    void hide() override;

protected:
    rect sheet_area() const override;
    void place_buttons(int bw, int bh) override;
    void paint_columns(Graphics& g, const rect& update) override;

private:
    std::unique_ptr<line_control> dark_line_;
    std::unique_ptr<line_control> light_line_;
};

} // namespace zel::form
