#include "api/command/sent/set_parking.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

set_parking::set_parking(int64_t area_id) : area_id_(area_id) {}

std::wstring set_parking::to_json() const {
    return write_single(wire::set_parking, "area-id", json::value::integer(area_id_));
}

} // namespace zel_api::command
