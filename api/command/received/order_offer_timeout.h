// The offered order has lapsed: the driver didn't answer in time.
#pragma once

#include "api/command/received/order_offer_notice.h"

namespace zel_api::command {

class order_offer_timeout : public order_offer_notice {
public:
    void from_value(const json::value& root) override;
};

} // namespace zel_api::command
