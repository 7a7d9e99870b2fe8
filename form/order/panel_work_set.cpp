#include "form/order/panel_work_set.h"

#include "api/command_names.h"
#include "controller/controller.h"

namespace zel::form {

namespace {

const panel_work_card::screen on_the_way{
    .action_icon = 1053,
    .action = L"На месте",
    .timer_tab_on = 7045,
    .timer_tab_off = 7046,
    .caption = L"По заказу",
    .caption_hor = L"По заказу",
    .background = 0x1F252D,
    .background_left_hor = 0x262C34,
    .next_status = 3,
    .next_panel = panel_ids::arrived,
    .command = zel_api::key::driver_arrive,
};

} // namespace

panel_work_set::panel_work_set(manager_2& form) : panel_work_card(form, on_the_way) {}

zel_api::status_stamp panel_work_set::stamp() const {
    const auto* c = controller_::controller::instance();
    return c ? c->get_status2_stamp() : zel_api::status_stamp{};
}

void panel_work_set::send_action(const std::wstring& order_id) {
    if (auto* c = controller_::controller::instance()) {
        c->driver_arrive(order_id);
    }
}

} // namespace zel::form
