#include "api/command/received/order_offer.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void order_offer::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::order_offer));
}

void order_offer::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "s-order-id") {
            s_order_id = to_wide(v);
        } else if (key == "deadline-time") {
            deadline_time = v.as_int64();
        } else if (key == "comment") {
            comment = to_wide(v);
        } else if (key == "fine-sum") {
            read_figure(key, v, fine_sum);
        } else if (key == "fine-rating") {
            fine_rating = v.as_int32();
        } else if (key == "fineable") {
            fineable = to_flag(v);
        } else if (key == "reward-rating") {
            reward_rating = v.as_int32();
        } else if (key == "order") {
            // The nested value is the order's object of fields; reading it directly is what wrapping it as
            // {"order": ...} and parsing that would give.
            fill_record(order, v);
        }
    });
}

} // namespace zel_api::command
