#include "api/command/sent/set_driver_status.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

set_driver_status::set_driver_status(int32_t id) : id_(id) {}

std::wstring set_driver_status::to_json() const {
    return write_single(wire::set_driver_status, "id", json::value::integer(id_));
}

} // namespace zel_api::command
