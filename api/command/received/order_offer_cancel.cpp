#include "api/command/received/order_offer_cancel.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void order_offer_cancel::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::order_offer_cancel));
}

} // namespace zel_api::command
