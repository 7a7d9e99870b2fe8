#include "api/command/received/session_fix_param.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void session_fix_param::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::session_fix_param));
}

void session_fix_param::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "sid") {
            sid = v.as_int64();
        } else if (key == "driver-id") {
            driver_id = v.as_int64();
        } else if (key == "account") {
            account = v.as_int64();
        } else if (key == "driver-fio") {
            driver_fio = to_wide(v);
        }
    });
}

} // namespace zel_api::command
