#include "api/command/sent/order_offer_reject.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

order_offer_reject::order_offer_reject(std::wstring s_order_id) : s_order_id_(std::move(s_order_id)) {}

std::wstring order_offer_reject::to_json() const {
    return write_single(wire::order_offer_reject, "s-order-id", text_value(s_order_id_));
}

} // namespace zel_api::command
