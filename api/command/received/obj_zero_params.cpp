#include "api/command/received/obj_zero_params.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void obj_zero_params::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::obj_zero_params));
}

void obj_zero_params::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "sms") {
            sms = to_wide(v);
        } else if (key == "track-srv-ip") {
            track_srv_ip = to_wide(v);
        } else if (key == "noprofile") {
            noprofile = to_flag(v);
        } else if (key == "sms-key") {
            sms_key = to_wide(v);
        }
    });
}

} // namespace zel_api::command
