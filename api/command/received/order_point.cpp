#include "api/command/received/order_point.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void order_point::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void order_point::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "t") {
            t = to_wide(v);
        } else if (key == "tx") {
            tx = to_wide(v);
        }
    });
}

} // namespace zel_api::command
