// What the message dialog (panel -2) shows: a message with "Ok" (kind 0) or a question with "Нет" and "Да"
// (kind 1), and the callback given the answer. The stack entry owns the request; the dialog only borrows it
// while shown, so a dialog covered by another panel, or popped from its own callback, still reads a live one.
#pragma once

#include <functional>
#include <string>

#include "form/shell/panel_param.h"

namespace zel::form {

class dialog_request : public panel_param {
public:
    enum kind_t : int { message = 0, question = 1 };
    enum answer_t : int { answer_no = 0, answer_yes = 1, answer_ok = 2 };

    dialog_request(int k, std::wstring t, std::function<void(int)> cb)
        : kind(k), text(std::move(t)), callback(std::move(cb)) {}

    int kind;
    std::wstring text;
    std::function<void(int)> callback;
};

} // namespace zel::form
