#include "api/command/received/upload_uuid_reply.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void upload_uuid_reply::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void upload_uuid_reply::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "uuid") {
            uuid = to_wide(v);
        }
    });
}

} // namespace zel_api::command
