// The program's screens in the order the manager builds them. A screen that is not built yet has no row, so
// its id shows the main menu.
#include "form/account/panel_lock_gui.h"
#include "form/account/panel_master_panel_2.h"
#include "form/account/panel_status.h"
#include "form/manager_2.h"
#include "form/order/panel_orders_list.h"
#include "form/order/panel_take_order.h"
#include "form/order/panel_take_order_hor.h"
#include "form/panel_dialog_gui.h"

namespace zel::form {

namespace {

template <class Panel> manager_2::panel_factory make() {
    return [](manager_2& form) { return std::make_unique<Panel>(form); };
}

} // namespace

manager_2::panel_table manager_2::default_table() {
    panel_table table;
    table.status = make<panel_status>();
    table.lock = make<panel_lock_gui>();
    table.rows = {
        {master_id, make<panel_master_panel_2>(), nullptr},
        {dialog_id, make<panel_dialog_gui>(), nullptr},
        {panel_orders_list::id, make<panel_orders_list>(), nullptr},
        {panel_take_order::id, make<panel_take_order>(), make<panel_take_order_hor>()},
    };
    return table;
}

} // namespace zel::form
