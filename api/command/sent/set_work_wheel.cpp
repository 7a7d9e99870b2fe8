#include "api/command/sent/set_work_wheel.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

set_work_wheel::set_work_wheel(int64_t car_id) : car_id_(car_id) {}

std::wstring set_work_wheel::to_json() const {
    json::value inner = json::value::empty_object();
    if (car_id_ != -1) {
        inner.add("car-id", json::value::integer(car_id_));
    }
    return write_command(wire::set_work_wheel, std::move(inner));
}

} // namespace zel_api::command
