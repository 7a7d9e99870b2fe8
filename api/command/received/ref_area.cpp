#include "api/command/received/ref_area.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void ref_area::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::ref_area));
}

void ref_area::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = v.as_int64();
        } else if (key == "n") {
            n = to_wide(v);
        } else if (key == "t") {
            t = v.as_int32();
        } else if (key == "cid") {
            append_each(v, cid, [](const json::value& e) { return e.as_int64(); });
        }
    });
}

} // namespace zel_api::command
