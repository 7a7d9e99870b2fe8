// The program's screens in the order the manager builds them. A screen that is not built yet has no row, so
// its id shows the main menu.
#include "form/account/panel_change_country.h"
#include "form/account/panel_http_reg_pincode.h"
#include "form/account/panel_http_reg_pincode_hor.h"
#include "form/account/panel_http_reg_telephone.h"
#include "form/account/panel_http_reg_telephone_hor.h"
#include "form/account/panel_lock_gui.h"
#include "form/account/panel_login.h"
#include "form/account/panel_login_hor.h"
#include "form/account/panel_master_panel_2.h"
#include "form/account/panel_set_signcall.h"
#include "form/account/panel_start2.h"
#include "form/account/panel_start2_hor.h"
#include "form/account/panel_status.h"
#include "form/manager_2.h"
#include "form/order/panel_order_offer.h"
#include "form/order/panel_order_offer_fine_close.h"
#include "form/order/panel_order_offer_fine_final_rejection.h"
#include "form/order/panel_order_offer_fine_rejection.h"
#include "form/order/panel_order_offer_fine_timeout.h"
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
        {panel_start2::id, make<panel_start2>(), make<panel_start2_hor>()},
        {panel_login::id, make<panel_login>(), make<panel_login_hor>()},
        {panel_set_signcall::id, make<panel_set_signcall>(), nullptr},
        {panel_http_reg_telephone::id, make<panel_http_reg_telephone>(), make<panel_http_reg_telephone_hor>()},
        {panel_http_reg_pincode::id, make<panel_http_reg_pincode>(), make<panel_http_reg_pincode_hor>()},
        {panel_change_country::id, make<panel_change_country>(), nullptr},
        {dialog_id, make<panel_dialog_gui>(), nullptr},
        {30, make<panel_order_offer>(), nullptr},
        {31, make<panel_order_offer_fine_timeout>(), nullptr},
        {32, make<panel_order_offer_fine_close>(), nullptr},
        {33, make<panel_order_offer_fine_final_rejection>(), nullptr},
        {34, make<panel_order_offer_fine_rejection>(), nullptr},
    };
    return table;
}

} // namespace zel::form
