#include "api/command/received/session_param.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

void session_param::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::session_param));
}

void session_param::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "dt") {
            dt = v.as_int64();
        } else if (key == "tzo") {
            tzo = v.as_int64();
        } else if (key == "area-id") {
            area_id = v.as_int64();
        } else if (key == "area-queue") {
            area_queue = v.as_int32();
        } else if (key == "driver-status") {
            driver_status = v.as_int32();
        } else if (key == "balance") {
            read_figure(key, v, balance);
        } else if (key == "track-ss-enable") {
            track_ss_enable = to_flag(v);
        } else if (key == "oac") {
            oac = v.as_int32();
        } else if (key == "opt-parking-filter") {
            opt_parking_filter = to_flag(v);
        } else if (key == "car") {
            car = to_wide(v);
        } else if (key == "callsign") {
            callsign = to_wide(v);
        } else if (key == "car-regnum") {
            car_regnum = to_wide(v);
        } else if (key == "car-color") {
            car_color = to_wide(v);
        } else if (key == "car-name") {
            car_name = to_wide(v);
        }
    });
}

} // namespace zel_api::command
