// The driver's value of one rating item.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class riv : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    int64_t id = 0;
    int32_t v = 0;
};

} // namespace zel_api::command
