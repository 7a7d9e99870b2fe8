#include "api/command/received/cmd_result.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void cmd_result::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::cmd_result));
}

void cmd_result::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "cmd-name") {
            cmd_name = to_wide(v);
        } else if (key == "ok") {
            ok = to_flag(v);
        } else if (key == "err") {
            err = to_wide(v);
        }
    });
}

} // namespace zel_api::command
