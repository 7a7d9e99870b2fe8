#include "api/command/received/login_reply.h"

#include "api/command/record_io.h"

namespace zel_api::command {

void login_reply::from_value(const json::value& fields) {
    fill_record(*this, fields);
}

void login_reply::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "status") {
            status = to_wide(v);
        } else if (key == "errors") {
            errors.clear();
            append_each(v, errors, [](const json::value& element) {
                reply_error item;
                fill_record(item, element);
                return item;
            });
        } else if (key == "text") {
            text = to_wide(v);
        } else if (key == "login") {
            login = to_wide(v);
        }
    });
}

} // namespace zel_api::command
