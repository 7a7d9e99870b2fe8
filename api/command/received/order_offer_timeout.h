// The offered order has lapsed: the driver didn't answer in time.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class order_offer_timeout : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::wstring s_order_id;
    std::wstring comment;
};

} // namespace zel_api::command
