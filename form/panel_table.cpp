// The program's screens in the order the manager builds them. A screen that is not built yet has no row, so
// its id shows the main menu.
#include "form/account/panel_area_list.h"
#include "form/account/panel_balance.h"
#include "form/account/panel_change_country.h"
#include "form/account/panel_driver_status_2.h"
#include "form/account/panel_exit_2.h"
#include "form/account/panel_http_reg_pincode.h"
#include "form/account/panel_http_reg_pincode_hor.h"
#include "form/account/panel_http_reg_telephone.h"
#include "form/account/panel_http_reg_telephone_hor.h"
#include "form/account/panel_lock_gui.h"
#include "form/account/panel_login.h"
#include "form/account/panel_login_hor.h"
#include "form/account/panel_master_panel_2.h"
#include "form/account/panel_my_info.h"
#include "form/account/panel_my_rating.h"
#include "form/account/panel_park_list.h"
#include "form/account/panel_set_car.h"
#include "form/account/panel_set_signcall.h"
#include "form/account/panel_shift_list.h"
#include "form/account/panel_start2.h"
#include "form/account/panel_start2_hor.h"
#include "form/account/panel_status.h"
#include "form/account/panel_take_shift.h"
#include "form/account/panel_take_shift_hor.h"
#include "form/manager_2.h"
#include "form/order/panel_close_order_param.h"
#include "form/order/panel_close_order_param_hor.h"
#include "form/order/panel_order_offer.h"
#include "form/order/panel_order_offer_fine_close.h"
#include "form/order/panel_order_offer_fine_final_rejection.h"
#include "form/order/panel_order_offer_fine_rejection.h"
#include "form/order/panel_order_offer_fine_timeout.h"
#include "form/order/panel_orders_list.h"
#include "form/order/panel_take_order.h"
#include "form/order/panel_take_order_hor.h"
#include "form/order/panel_work_arrive.h"
#include "form/order/panel_work_arrive_hor.h"
#include "form/order/panel_work_bill.h"
#include "form/order/panel_work_bill_hor.h"
#include "form/order/panel_work_execute.h"
#include "form/order/panel_work_execute_hor.h"
#include "form/order/panel_work_set.h"
#include "form/order/panel_work_set_hor.h"
#include "form/panel_dialog_gui.h"
#include "form/panel_ids.h"

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
        {panel_start2::id, make<panel_start2>(), make<panel_start2_hor>()},
        {panel_login::id, make<panel_login>(), make<panel_login_hor>()},
        {panel_set_signcall::id, make<panel_set_signcall>(), nullptr},
        {panel_http_reg_telephone::id, make<panel_http_reg_telephone>(), make<panel_http_reg_telephone_hor>()},
        {panel_http_reg_pincode::id, make<panel_http_reg_pincode>(), make<panel_http_reg_pincode_hor>()},
        {panel_change_country::id, make<panel_change_country>(), nullptr},
        {dialog_id, make<panel_dialog_gui>(), nullptr},
        {panel_area_list::id, make<panel_area_list>(), nullptr},
        {panel_park_list::id, make<panel_park_list>(), nullptr},
        {panel_set_car::id, make<panel_set_car>(), nullptr},
        {panel_my_info::id, make<panel_my_info>(), nullptr},
        {panel_balance::id, make<panel_balance>(), nullptr},
        {panel_my_rating::id, make<panel_my_rating>(), nullptr},
        {panel_ids::order_offer, make<panel_order_offer>(), nullptr},
        {panel_ids::offer_timeout, make<panel_order_offer_fine_timeout>(), nullptr},
        {panel_ids::offer_closed, make<panel_order_offer_fine_close>(), nullptr},
        {panel_ids::offer_final_rejection, make<panel_order_offer_fine_final_rejection>(), nullptr},
        {panel_ids::offer_rejection, make<panel_order_offer_fine_rejection>(), nullptr},
        {panel_orders_list::id, make<panel_orders_list>(), nullptr},
        {panel_take_order::id, make<panel_take_order>(), make<panel_take_order_hor>()},
        {panel_work_set::id, make<panel_work_set>(), make<panel_work_set_hor>()},
        {panel_work_arrive::id, make<panel_work_arrive>(), make<panel_work_arrive_hor>()},
        {panel_work_execute::id, make<panel_work_execute>(), make<panel_work_execute_hor>()},
        {panel_work_bill::id, make<panel_work_bill>(), make<panel_work_bill_hor>()},
        {panel_close_order_param::id, make<panel_close_order_param>(), make<panel_close_order_param_hor>()},
        {panel_driver_status_2::id, make<panel_driver_status_2>(), nullptr},
        {panel_exit_2::id, make<panel_exit_2>(), nullptr},
        {panel_shift_list::id, make<panel_shift_list>(), nullptr},
        {panel_take_shift::id, make<panel_take_shift>(), make<panel_take_shift_hor>()},
    };
    return table;
}

} // namespace zel::form
