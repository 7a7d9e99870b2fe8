#include "api/command/sent/set_driver.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

set_driver::set_driver(std::wstring s_oid) : s_oid_(std::move(s_oid)) {}

std::wstring set_driver::to_json() const {
    return write_single(wire::set_driver, "s-oid", text_value(s_oid_));
}

} // namespace zel_api::command
