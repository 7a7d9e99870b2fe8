#include "api/command/sent/gps_position.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

gps_position::gps_position(double longitude, double latitude, int32_t altitude, int32_t speed, int32_t accuracy,
                           int32_t course)
    : longitude_(longitude), latitude_(latitude), altitude_(altitude), speed_(speed), accuracy_(accuracy),
      course_(course) {}

std::wstring gps_position::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("long", json::value::real(longitude_));
    inner.add("lat", json::value::real(latitude_));
    inner.add("alt", json::value::integer(altitude_));
    inner.add("speed", json::value::integer(speed_));
    inner.add("p", json::value::integer(accuracy_));
    inner.add("az", json::value::integer(course_));
    return write_command(wire::gps_position, std::move(inner));
}

} // namespace zel_api::command
