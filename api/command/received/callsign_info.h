// One call sign offered to the device.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class callsign_info : public command {
public:
    void from_value(const json::value& root) override;

    std::wstring callsign_name;
    int64_t driver_id = 0;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
