#include "api/command/sent/shift_begin.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

shift_begin::shift_begin(int64_t area_id, int64_t car_id) : area_id_(area_id), car_id_(car_id) {}

std::wstring shift_begin::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("area-id", json::value::integer(area_id_));
    if (car_id_ != -1) {
        inner.add("car-id", json::value::integer(car_id_));
    }
    return write_command(wire::shift_begin, std::move(inner));
}

} // namespace zel_api::command
