// panel_exit_2 (17): the ways out as a menu list: "Закрыть программу" ends the program at once, "Завершить
// работу" ends the shift and then the program, "Завершить смену" only ends the shift, "Свернуть" minimises the
// window. The two shift rows react only while logged in on a shift ("driver-status" present and not -2); the rule
// runs on show and after every command.
//
//   state    event                                   -> state    effect
//   shown    "Завершить работу"                      -> ending   lock, "shift-end"
//   shown    "Завершить смену"                       -> waiting  lock, "shift-end"
//   ending   "cmd-result" "shift-end" ok             -> (ended)  the program ends (track flushed first)
//   ending   "cmd-result" "shift-end" not ok         -> shown    unlock
//   waiting  "cmd-result" "shift-end"                -> shown    unlock
//   shown    "cmd-result" "shift-end"                -> shown    unlock
//   ending   hidden, or "disconnect_local"           -> shown    the request is forgotten: its answer, wherever it
//   waiting                                                      goes (an offer on top takes it), ends nothing
//   any      "cmd-result" of another command         -> same     nothing
// The state is the request on its way: each row click sets it anew, so the answer to a later "Завершить смену"
// never ends the program for an earlier "Завершить работу".
//
// UI thread only.
#pragma once

#include "form/account/panel_menu_list.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_exit_2 : public panel_menu_list {
public:
    static constexpr int id = panel_ids::exit;

    explicit panel_exit_2(manager_2& form);
    ~panel_exit_2() override;

    int panel_id() const override {
        return id;
    }
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;
    void row_clicked(int row) override;

    // Whether the "shift-end" on its way ends the program when granted (the "ending" state).
    bool exit_pending() const {
        return pending_ == request::end_work;
    }

private:
    enum class request { none, end_work, end_shift };

    void rows_rule();
    void end_shift(request kind);

    request pending_ = request::none;
};

} // namespace zel::form
