#include "api/command/received/obj_update.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void obj_update::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::obj_update));
}

void obj_update::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "device-type") {
            device_type = v.as_int32();
        } else if (key == "version") {
            version = to_wide(v);
        } else if (key == "srv-ftp") {
            srv_ftp = to_wide(v);
        } else if (key == "ftp-path") {
            ftp_path = to_wide(v);
        } else if (key == "man") {
            man = v.as_int32();
        }
    });
}

} // namespace zel_api::command
