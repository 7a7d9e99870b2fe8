#include "api/command/received/order_offer_cancel.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void order_offer_cancel::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::order_offer_cancel));
}

void order_offer_cancel::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "s-order-id") {
            s_order_id = to_wide(v);
        } else if (key == "comment") {
            comment = to_wide(v);
        }
    });
}

} // namespace zel_api::command
