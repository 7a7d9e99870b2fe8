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
#include "form/shell/manager_2.h"
#include "form/shell/panel_dialog_gui.h"
#include "form/shell/panel_ids.h"

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
        {panel_ids::main_menu, make<panel_master_panel_2>(), nullptr},
        {panel_ids::start, make<panel_start2>(), make<panel_start2_hor>()},
        {panel_ids::login, make<panel_login>(), make<panel_login_hor>()},
        {panel_ids::set_signcall, make<panel_set_signcall>(), nullptr},
        {panel_ids::reg_telephone, make<panel_http_reg_telephone>(), make<panel_http_reg_telephone_hor>()},
        {panel_ids::reg_pincode, make<panel_http_reg_pincode>(), make<panel_http_reg_pincode_hor>()},
        {panel_ids::change_country, make<panel_change_country>(), nullptr},
        {panel_ids::dialog, make<panel_dialog_gui>(), nullptr},
        {panel_ids::area_list, make<panel_area_list>(), nullptr},
        {panel_ids::park_list, make<panel_park_list>(), nullptr},
        {panel_ids::set_car, make<panel_set_car>(), nullptr},
        {panel_ids::my_info, make<panel_my_info>(), nullptr},
        {panel_ids::balance, make<panel_balance>(), nullptr},
        {panel_ids::my_rating, make<panel_my_rating>(), nullptr},
        {panel_ids::order_offer, make<panel_order_offer>(), nullptr},
        {panel_ids::offer_timeout, make<panel_order_offer_fine_timeout>(), nullptr},
        {panel_ids::offer_closed, make<panel_order_offer_fine_close>(), nullptr},
        {panel_ids::offer_final_rejection, make<panel_order_offer_fine_final_rejection>(), nullptr},
        {panel_ids::offer_rejection, make<panel_order_offer_fine_rejection>(), nullptr},
        {panel_ids::orders_list, make<panel_orders_list>(), nullptr},
        {panel_ids::take_order, make<panel_take_order>(), make<panel_take_order_hor>()},
        {panel_ids::on_the_way, make<panel_work_set>(), make<panel_work_set_hor>()},
        {panel_ids::arrived, make<panel_work_arrive>(), make<panel_work_arrive_hor>()},
        {panel_ids::ride, make<panel_work_execute>(), make<panel_work_execute_hor>()},
        {panel_ids::bill, make<panel_work_bill>(), make<panel_work_bill_hor>()},
        {panel_ids::close_params, make<panel_close_order_param>(), make<panel_close_order_param_hor>()},
        {panel_ids::driver_status, make<panel_driver_status_2>(), nullptr},
        {panel_ids::exit, make<panel_exit_2>(), nullptr},
        {panel_ids::shift_list, make<panel_shift_list>(), nullptr},
        {panel_ids::take_shift, make<panel_take_shift>(), make<panel_take_shift_hor>()},
    };
    return table;
}

} // namespace zel::form
