#include "api/command/received/order_offer_timeout.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void order_offer_timeout::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::order_offer_timeout));
}

} // namespace zel_api::command
