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
                read_figure(key, v, mc);
            } else if (key == "p") {
                read_figure(key, v, p);
            }
        });
    } catch (const json::type_error& error) {
        log_kept_order(L"order purchase terms", error);
        // A malformed block must not cost the order that carries it.
    }
}

} // namespace zel_api::command
