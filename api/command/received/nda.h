// The number of drivers in an area.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class nda : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    int64_t id = 0;
    int32_t c = 0;
};

} // namespace zel_api::command
