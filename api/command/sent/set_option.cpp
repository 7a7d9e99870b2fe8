#include "api/command/sent/set_option.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

set_option::set_option(int64_t key, std::wstring value) : key_(key), value_(std::move(value)) {}

std::wstring set_option::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("key", json::value::integer(key_));
    inner.add("value", text_value(value_));
    return write_command(wire::set_option, std::move(inner));
}

} // namespace zel_api::command
