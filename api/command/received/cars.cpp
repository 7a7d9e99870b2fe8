#include "api/command/received/cars.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void cars::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::cars));
}

void cars::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "freecars") {
            append_each(v, freecars, [](const json::value& element) {
                car item;
                fill_record(item, element);
                return item;
            });
        }
    });
}

} // namespace zel_api::command
