#include "form/order/panel_work_arrive.h"

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/order/order_card.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"
#include "foundation/phone_call.h"

namespace zel::form {

namespace {

const panel_work_card::screen waiting{
    .action_icon = 1054,
    .action = L"Поехали",
    .timer_tab_on = 7047,
    .timer_tab_off = 7048,
    .caption = L"По адресу",
    .caption_hor = L"Ожидание клиента",
    .background = 0x171B22,
    .background_left_hor = 0x171B22,
    .next_status = 8,
    .next_panel = panel_ids::ride,
    .command = zel_api::key::execute_order,
};

bool has_phone(const zel_api::command::order& o) {
    return o.client_phone && !o.client_phone->empty();
}

} // namespace

panel_work_arrive::panel_work_arrive(manager_2& form) : panel_work_card(form, waiting) {}

zel_api::status_stamp panel_work_arrive::stamp() const {
    const auto* c = controller_::controller::instance();
    return c ? c->get_status3_stamp() : zel_api::status_stamp{};
}

void panel_work_arrive::send_action(const std::wstring& order_id) {
    if (auto* c = controller_::controller::instance()) {
        c->execute_order(order_id);
    }
}

void panel_work_arrive::no_order_at_show() {
    leave_back();
}

void panel_work_arrive::filled(const zel_api::command::order& o) {
    card()->set_call_button_visible(has_phone(o));
}

void panel_work_arrive::on_call() {
    phone_call phone;
    const order_ptr& o = held_order();
    if (!o || !has_phone(*o)) {
        log(logger::warning, L"panel_work_arrive::on_call: no client telephone");
        return;
    }
    if (!phone.is_loaded()) {
        log(logger::info, L"panel_work_arrive::on_call: no telephone service, no call placed to " + *o->client_phone);
        return;
    }
    phone.call(*o->client_phone);
}

} // namespace zel::form
