#include "api/command/sent/order_offer_accept.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

order_offer_accept::order_offer_accept(std::wstring s_order_id) : s_order_id_(std::move(s_order_id)) {}

std::wstring order_offer_accept::to_json() const {
    return write_single(wire::order_offer_accept, "s-order-id", text_value(s_order_id_));
}

} // namespace zel_api::command
