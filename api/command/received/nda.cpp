#include "api/command/received/nda.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void nda::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::nda));
}

void nda::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = v.as_int64();
        } else if (key == "c") {
            c = v.as_int32();
        }
    });
}

} // namespace zel_api::command
