#include "api/command/sent/driver_arrive.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

driver_arrive::driver_arrive(std::wstring s_oid) : s_oid_(std::move(s_oid)) {}

std::wstring driver_arrive::to_json() const {
    return write_single(wire::driver_arrive, "s-oid", text_value(s_oid_));
}

} // namespace zel_api::command
