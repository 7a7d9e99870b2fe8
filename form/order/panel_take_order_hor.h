// The take order panel on a landscape screen: the portrait's behaviour in two columns, the tabs and both views
// in the left one, the buttons stacked in the right one, two vertical lines between them.
#pragma once

#include "form/order/panel_take_order.h"

namespace zel::form {

class panel_take_order_hor : public panel_take_order {
public:
    explicit panel_take_order_hor(manager_2& form) : panel_take_order(form) {}

    // The left column in the work screens' colour, the right one lighter.
    void paint_background(Graphics& g, const rect& update) override;

protected:
    layout place() const override;

private:
    rect left_column() const;
    rect right_column() const;
};

} // namespace zel::form
