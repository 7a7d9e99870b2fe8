// The dialogs that the panel manager raises by itself: the dispatcher's messages, each shown and confirmed to the
// server before the next one, and the question whether the driver confirms a preliminary order that starts
// soon. It owns the preliminary-order timer's id, whether a "msg-read" is on its way, and weak handles of the
// dialog requests it pushed (to tell whether one is still on the stack); the stack entries own the requests.
// Each request's callback carries the message or order that its dialog shows, so an answer confirms exactly
// that one, whatever was asked or shown since.
//
// Messages:
//   state       event                                          -> state       effect
//   idle        "msg" while no dialog is on the stack          -> shown       dialog of the first stored message
//   shown       dialog closed, its message still stored        -> confirming  lock, "msg-read" of that message
//   shown       dialog closed, its message deleted meanwhile   -> idle/shown  dialog of the next message, if any
//   confirming  "msg"                                          -> confirming  nothing
//   any         "cmd-result" of "msg-read"                     -> idle/shown  unlock; a granted one marks its
//                                                                             message read; dialog of the first
//                                                                             stored message not read, unless a
//                                                                             message dialog is up
//   confirming  "disconnect_local"                             -> idle        (the manager ends one lock level)
// Preliminary orders: a timer (every check_period_s) runs from the first successful "login" result until
// "disconnect_local". Each check with no dialog on top asks about the first order of list 3 with the status
// awaiting_confirmation whose "tt" lies ask_from_s to ask_until_s seconds ahead and which no question on the
// stack asks about already (sound 3). "Да" locks and sends "commit-driver" for that question's order; the
// "commit-driver" result unlocks. "Нет" only closes it: a later check asks again while the order is in its window.
//
// UI thread only: the manager's command pump, its timers and the dialogs' callbacks.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "api/update_mask.h"

namespace zel::form {

class dialog_request;
class manager_2;

class message_preorder_workflow {
public:
    // How often the preliminary orders are checked.
    static constexpr unsigned check_period_s = 10;
    // The window, in whole seconds before an order's "tt" on the server's clock, in which the driver is asked.
    static constexpr int64_t ask_from_s = 1741;
    static constexpr int64_t ask_until_s = 2099;
    // The status "s" of a preliminary order that waits for its driver's confirmation.
    static constexpr int32_t awaiting_confirmation = 6;
    // Played with each question.
    static constexpr int question_sound = 3;

    explicit message_preorder_workflow(manager_2& form);
    message_preorder_workflow(const message_preorder_workflow&) = delete;
    message_preorder_workflow& operator=(const message_preorder_workflow&) = delete;

    // The command pump's part, after the panels saw the mask: "msg", the results of "msg-read", "login" and
    // "commit-driver", and "disconnect_local" (the timer stops; ending the lock level is the manager's).
    void on_command(const zel_api::update_mask& mask);
    // Shows the first stored message, unless a message dialog is up or a confirmation is on its way.
    void show_next_message();
    // One check of the preliminary orders (the timer's callback).
    void check_preorders();

    // -1 while no timer runs.
    int preorder_timer() const {
        return preorder_timer_;
    }

private:
    void on_message_closed(int64_t message_id);
    void on_preorder_answer(const std::wstring& order_id, int answer);
    // Whether a stack entry holds the request.
    bool stacked(const std::weak_ptr<const dialog_request>& request) const;
    bool asked_about(const std::wstring& order_id) const;

    manager_2& form_;
    int preorder_timer_ = -1;
    // The dialog of the message shown; a "msg-read" sent and its result not yet come.
    std::weak_ptr<const dialog_request> message_dialog_;
    // The message whose "msg-read" is on its way, if any.
    std::optional<int64_t> confirming_;
    // Messages read but still stored: the server's "msg-del" may come after the result, and the message must
    // not be shown a second time meanwhile.
    std::set<int64_t> read_;
    // The questions pushed, with their orders' ids; those no longer on the stack are dropped at each check.
    std::vector<std::pair<std::wstring, std::weak_ptr<const dialog_request>>> questions_;
};

} // namespace zel::form
