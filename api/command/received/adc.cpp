#include "api/command/received/adc.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void adc::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::adc));
}

void adc::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = v.as_int64();
        } else if (key == "c") {
            c = v.as_int32();
        } else if (key == "q") {
            q = v.as_int32();
        }
    });
}

} // namespace zel_api::command
