// The answer to a request.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class cmd_result : public command {
public:
    void from_value(const json::value& root) override;

    std::wstring cmd_name; // the wire name of the command answered
    bool ok = false;       // the request succeeded
    std::wstring err;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
