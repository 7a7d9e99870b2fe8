#include "api/command/received/msg_del.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void msg_del::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::msg_del));
}

void msg_del::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "ids") {
            append_each(v, ids, [](const json::value& e) { return e.as_uint64(); });
        }
    });
}

} // namespace zel_api::command
