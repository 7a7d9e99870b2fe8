// The "dt" block of an order: "mc" and "p".
#pragma once

#include "api/command/command.h"

namespace zel_api::command {

class order_dt : public command {
public:
    void from_value(const json::value& fields) override;

    double mc = 0.0;
    double p = 0.0;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole. Stops quietly at a member of the wrong type and keeps what it read before it.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
