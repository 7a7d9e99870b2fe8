// The answer to a request.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class cmd_result : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::wstring cmd_name; // the wire name of the command answered
    bool ok = false;       // the request succeeded
    std::wstring err;
};

} // namespace zel_api::command
