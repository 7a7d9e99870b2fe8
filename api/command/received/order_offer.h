// The one order offered to the driver, with its deadline and the fine for rejecting it.
#pragma once

#include "api/command/command.h"
#include "api/command/received/order.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class order_offer : public command {
public:
    void from_value(const json::value& root) override;

    std::wstring s_order_id;
    int64_t deadline_time = 0; // milliseconds since 1970, server clock
    std::wstring comment;
    double fine_sum = 0.0;
    int32_t fine_rating = 0;
    bool fineable = false; // rejecting shows the fine warning first
    int32_t reward_rating = 0;
    ::zel_api::command::order order;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
