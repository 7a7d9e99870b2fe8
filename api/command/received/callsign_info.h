// One call sign offered to the device.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class callsign_info : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::wstring callsign_name;
    int64_t driver_id = 0;
};

} // namespace zel_api::command
