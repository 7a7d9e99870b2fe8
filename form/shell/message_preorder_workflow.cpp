// Sections: commands | messages | preliminary orders.
#include "form/shell/message_preorder_workflow.h"

#include <algorithm>

#include "api/command/received/cmd_result.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/saturating.h"
#include "foundation/server_clock.h"

namespace zel::form {

using controller_::controller;

message_preorder_workflow::message_preorder_workflow(manager_2& form) : form_(form) {}

// --- commands

void message_preorder_workflow::on_command(const zel_api::update_mask& mask) {
    if (mask.test(zel_api::key::msg) && !form_.has_panel(panel_ids::dialog)) {
        show_next_message();
    }
    if (const auto* read = mask.result_of(zel_api::key::msg_read)) {
        if (confirming_ && read->ok) {
            read_.insert(*confirming_);
        }
        confirming_.reset();
        form_.unlock();
        show_next_message();
    }
    if (const auto* login = mask.result_of(zel_api::key::login); login && login->ok && preorder_timer_ == -1) {
        preorder_timer_ = form_.set_timer(check_period_s, [this] { check_preorders(); });
    }
    if (mask.result_of(zel_api::key::commit_driver)) {
        form_.unlock();
    }
    if (mask.test(zel_api::key::disconnect_local)) {
        form_.kill_timer(preorder_timer_);
        preorder_timer_ = -1;
        // The answer will not come: the next "msg" or login shows the message again.
        confirming_.reset();
    }
}

bool message_preorder_workflow::stacked(const std::weak_ptr<const dialog_request>& request) const {
    const std::shared_ptr<const dialog_request> live = request.lock();
    if (!live) {
        return false;
    }
    const auto& stack = form_.stack();
    return std::any_of(stack.begin(), stack.end(), [&](const panel_entry& e) { return e.param.get() == live.get(); });
}

// --- messages

void message_preorder_workflow::show_next_message() {
    controller* c = controller::instance();
    // One message at a time: the one up, or the one whose confirmation is on its way, comes first.
    if (!c || confirming_ || stacked(message_dialog_)) {
        return;
    }
    const auto messages = c->get_messages();
    // A read message the store no longer holds is forgotten; one it still holds waits for its removal.
    std::erase_if(read_, [&](int64_t read) {
        return std::none_of(messages.begin(), messages.end(), [&](const auto& m) { return m->id == read; });
    });
    const auto next =
        std::find_if(messages.begin(), messages.end(), [&](const auto& m) { return !read_.contains(m->id); });
    if (next == messages.end()) {
        return;
    }
    const int64_t id = (*next)->id;
    auto request = std::make_shared<const dialog_request>(dialog_request::message, (*next)->txt,
                                                          [this, id](int) { on_message_closed(id); });
    message_dialog_ = request;
    form_.push_panel(panel_ids::dialog, std::move(request));
}

void message_preorder_workflow::on_message_closed(int64_t message_id) {
    form_.pop_panel();
    controller* c = controller::instance();
    if (!c) {
        return;
    }
    const auto messages = c->get_messages();
    const bool stored =
        std::any_of(messages.begin(), messages.end(), [&](const auto& m) { return m->id == message_id; });
    if (!stored) {
        // Deleted by the server while shown: nothing to confirm.
        show_next_message();
        return;
    }
    form_.lock();
    confirming_ = message_id;
    c->msg_read(message_id);
}

// --- preliminary orders

bool message_preorder_workflow::asked_about(const std::wstring& order_id) const {
    return std::any_of(questions_.begin(), questions_.end(),
                       [&](const auto& q) { return q.first == order_id && stacked(q.second); });
}

void message_preorder_workflow::check_preorders() {
    controller* c = controller::instance();
    if (!c) {
        return;
    }
    const auto orders = c->get_orders_3();
    if (form_.top_panel().id == panel_ids::dialog) {
        return;
    }
    questions_.erase(
        std::remove_if(questions_.begin(), questions_.end(), [&](const auto& q) { return !stacked(q.second); }),
        questions_.end());
    const auto clock = c->get_server_clock();
    const int64_t now = clock ? clock->server_now() : 0;
    for (const auto& o : orders) {
        if (!o->s || *o->s != awaiting_confirmation || !o->tt || asked_about(o->s_id)) {
            continue;
        }
        // Held at the 64-bit range: a "tt" of any value is only far ahead or far past.
        const int64_t seconds = ms_minus_seconds(*o->tt, now) / 1000;
        if (seconds >= ask_from_s && seconds <= ask_until_s && form_.top_panel().id != panel_ids::dialog) {
            const std::wstring order_id = o->s_id;
            auto request = std::make_shared<const dialog_request>(
                dialog_request::question, L"Подтвердить предварительный заказ: " + o->af.t + L" " + o->af.tx + L"?",
                [this, order_id](int answer) { on_preorder_answer(order_id, answer); });
            questions_.emplace_back(order_id, request);
            form_.push_panel(panel_ids::dialog, std::move(request));
            form_.play_sound(question_sound);
        }
    }
}

void message_preorder_workflow::on_preorder_answer(const std::wstring& order_id, int answer) {
    form_.pop_panel();
    if (answer == dialog_request::answer_yes) {
        form_.lock();
        if (controller* c = controller::instance()) {
            c->commit_driver(order_id);
        }
    }
}

} // namespace zel::form
