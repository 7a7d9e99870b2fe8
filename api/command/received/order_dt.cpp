#include "api/command/received/order_dt.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void order_dt::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void order_dt::read_fields(const json::value& fields) {
    try {
        for_each_field(fields, [this](std::string_view key, const json::value& v) {
            if (key == "mc") {
                mc = v.as_real();
            } else if (key == "p") {
                p = v.as_real();
            }
        });
    } catch (const json::type_error&) {
        // A malformed block must not cost the order that carries it.
    }
}

} // namespace zel_api::command
