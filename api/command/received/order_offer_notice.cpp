#include "api/command/received/order_offer_notice.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void order_offer_notice::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "s-order-id") {
            s_order_id = to_wide(v);
        } else if (key == "comment") {
            comment = to_wide(v);
        }
    });
}

} // namespace zel_api::command
