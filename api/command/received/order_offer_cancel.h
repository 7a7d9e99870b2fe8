// The server has withdrawn the offered order.
#pragma once

#include "api/command/received/order_offer_notice.h"

namespace zel_api::command {

class order_offer_cancel : public order_offer_notice {
public:
    void from_value(const json::value& root) override;
};

} // namespace zel_api::command
