// The driver's value of one rating item.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class riv : public command {
public:
    void from_value(const json::value& root) override;

    int64_t id = 0;
    int32_t v = 0;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
