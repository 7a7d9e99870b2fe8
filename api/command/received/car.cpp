#include "api/command/received/car.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void car::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void car::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = v.as_int64();
        } else if (key == "color") {
            color = to_wide(v);
        } else if (key == "regnum") {
            regnum = to_wide(v);
        } else if (key == "name") {
            name = to_wide(v);
        }
    });
}

} // namespace zel_api::command
