// The device's main id, as the server gives it.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class obj_main_id : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::wstring main_id;
};

} // namespace zel_api::command
