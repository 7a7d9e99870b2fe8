// The session values that don't change while the driver is logged in.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class session_fix_param : public command {
public:
    void from_value(const json::value& root) override;

    int64_t sid = 0;
    int64_t driver_id = 0;
    int64_t account = 0;
    std::wstring driver_fio; // the driver's full name

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
