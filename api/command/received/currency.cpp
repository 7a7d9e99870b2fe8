#include "api/command/received/currency.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void currency::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::currency));
}

void currency::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "precision") {
            read_figure(key, v, precision_);
        }
    });
}

} // namespace zel_api::command
