#include "api/command/sent/commit_driver.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

commit_driver::commit_driver(std::wstring s_oid) : s_oid_(std::move(s_oid)) {}

std::wstring commit_driver::to_json() const {
    return write_single(wire::commit_driver, "s-oid", text_value(s_oid_));
}

} // namespace zel_api::command
