// The server has withdrawn the offered order.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class order_offer_cancel : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::wstring s_order_id;
    std::wstring comment;
};

} // namespace zel_api::command
