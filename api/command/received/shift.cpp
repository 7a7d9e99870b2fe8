#include "api/command/received/shift.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void shift::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::shift));
}

void shift::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = v.as_int64();
        } else if (key == "n") {
            n = to_wide(v);
        } else if (key == "c") {
            read_figure(key, v, c);
        } else if (key == "st-dt") {
            if (!v.is_null()) {
                st_dt = v.as_int64();
            }
        } else if (key == "dur") {
            dur = v.as_int32();
        } else if (key == "status") {
            status = v.as_int32();
        } else if (key == "nsa") {
            nsa = v.as_int32();
        } else if (key == "st-dt-str") {
            if (!v.is_null()) {
                st_dt_str = to_wide(v);
            }
        }
    });
}

} // namespace zel_api::command
