// One error item of a login or registration answer.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class reply_error : public command {
public:
    reply_error() = default;
    reply_error(std::wstring id, std::wstring text);

    // The object of fields itself.
    void from_value(const json::value& fields) override;

    std::wstring id;
    std::wstring text;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
