#include "api/command/received/obj_main_id.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void obj_main_id::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::obj_main_id));
}

void obj_main_id::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "main-id") {
            main_id = to_wide(v);
        }
    });
}

} // namespace zel_api::command
