// The driver rejects the offered order.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class order_offer_reject : public command {
public:
    explicit order_offer_reject(std::wstring s_order_id);
    std::wstring to_json() const override;

private:
    std::wstring s_order_id_;
};

} // namespace zel_api::command
