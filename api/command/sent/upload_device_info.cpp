#include "api/command/sent/upload_device_info.h"

#include "api/command/record_io.h"

#include <utility>

namespace zel_api::command {

upload_device_info::upload_device_info(std::wstring imei, std::wstring device_name, int64_t device_time)
    : imei_(std::move(imei)), device_name_(std::move(device_name)), device_time_(device_time) {}

std::wstring upload_device_info::to_json() const {
    json::value fields = json::value::empty_object();
    fields.add("IMEI", text_value(imei_));
    fields.add("device-name", text_value(device_name_));
    fields.add("device-time", json::value::integer(device_time_));
    return write_wide(fields);
}

} // namespace zel_api::command
