#include "api/command/received/odel.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void odel::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::odel));
}

void odel::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "l-type") {
            l_type = v.as_int32();
        } else if (key == "s-ids") {
            append_each(v, s_ids, to_wide);
        }
    });
}

} // namespace zel_api::command
