#include "api/command/received/riv.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void riv::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::riv));
}

void riv::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& value) {
        if (key == "id") {
            id = value.as_int64();
        } else if (key == "v") {
            this->v = value.as_int32();
        }
    });
}

} // namespace zel_api::command
