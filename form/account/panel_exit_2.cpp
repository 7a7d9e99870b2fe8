#include "form/account/panel_exit_2.h"

#include "api/command/received/cmd_result.h"
#include "api/command/received/session_param.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "platform/window.h"

namespace zel::form {

namespace {

enum row : int { close_row, end_work_row, end_shift_row, minimise_row };

controller_::controller* ctl() {
    return controller_::controller::instance();
}

} // namespace

panel_exit_2::panel_exit_2(manager_2& form) : panel_menu_list(form) {}

panel_exit_2::~panel_exit_2() = default;

void panel_exit_2::show(const panel_param*) {
    show_menu(
        {{1026, L"Закрыть программу"}, {1028, L"Завершить работу"}, {1029, L"Завершить смену"}, {1030, L"Свернуть"}});
    rows_rule();
}

void panel_exit_2::hide() {
    // Whatever answers the request now reaches another panel, or this one shown afresh.
    pending_ = request::none;
    hide_menu();
}

void panel_exit_2::rows_rule() {
    const auto* c = ctl();
    const auto session = c ? c->get_session_param() : nullptr;
    const bool on_shift = session && c->is_logged_in() && session->driver_status &&
                          *session->driver_status != zel_api::command::driver_status::off_shift;
    set_row(end_work_row, L"Завершить работу", on_shift);
    set_row(end_shift_row, L"Завершить смену", on_shift);
    repaint_rows();
}

void panel_exit_2::end_shift(request kind) {
    if (auto* c = ctl()) {
        pending_ = kind;
        form_.lock();
        c->shift_end();
    }
}

void panel_exit_2::row_clicked(int row) {
    switch (row) {
    case close_row:
        end_program();
        return;
    case end_work_row:
        end_shift(request::end_work);
        return;
    case end_shift_row:
        end_shift(request::end_shift);
        return;
    case minimise_row:
        ShowWindow(form_.get_hwnd(), SW_MINIMIZE);
        return;
    default:
        return;
    }
}

void panel_exit_2::on_command(const zel_api::update_mask& mask) {
    if (const auto* result = mask.result_of(zel_api::key::shift_end)) {
        if (result->ok && pending_ == request::end_work) {
            end_program();
            return;
        }
        pending_ = request::none;
        form_.unlock();
    }
    // The link is gone and the answer with it (the manager ends the lock level).
    if (mask.test(zel_api::key::disconnect_local)) {
        pending_ = request::none;
    }
    rows_rule();
}

} // namespace zel::form
