#include "api/command/received/reply_error.h"

#include "api/command/record_io.h"

#include <utility>

namespace zel_api::command {

reply_error::reply_error(std::wstring id, std::wstring text) : id(std::move(id)), text(std::move(text)) {}

void reply_error::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void reply_error::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = to_wide(v);
        } else if (key == "text") {
            text = to_wide(v);
        }
    });
}

} // namespace zel_api::command
