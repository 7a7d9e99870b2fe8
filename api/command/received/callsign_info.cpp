#include "api/command/received/callsign_info.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void callsign_info::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::callsign_info));
}

void callsign_info::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "callsign-name") {
            callsign_name = to_wide(v);
        } else if (key == "driver-id") {
            driver_id = v.as_int64();
        }
    });
}

} // namespace zel_api::command
