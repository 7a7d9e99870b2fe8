#include "api/command/sent/execute_order.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

execute_order::execute_order(std::wstring s_oid) : s_oid_(std::move(s_oid)) {}

std::wstring execute_order::to_json() const {
    return write_single(wire::execute_order, "s-oid", text_value(s_oid_));
}

} // namespace zel_api::command
