#include "api/command/received/sell_shift.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void sell_shift::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::sell_shift));
}

void sell_shift::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id-sell") {
            id_sell = v.as_int64();
        } else if (key == "id-shift") {
            id_shift = v.as_int64();
        } else if (key == "st-dt") {
            st_dt = v.as_int64();
        } else if (key == "status") {
            status = v.as_int32();
        }
    });
}

} // namespace zel_api::command
