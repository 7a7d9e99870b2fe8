#include "api/command/sent/get_callsign_list_for_device.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

get_callsign_list_for_device::get_callsign_list_for_device(std::wstring local_id, std::wstring main_id,
                                                           int64_t organization_id)
    : local_id_(std::move(local_id)), main_id_(std::move(main_id)), organization_id_(organization_id) {}

std::wstring get_callsign_list_for_device::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("local-id", text_value(local_id_));
    inner.add("main-id", text_value(main_id_));
    inner.add("organization-id", json::value::integer(organization_id_));
    return write_command(wire::get_callsign_list_for_device, std::move(inner));
}

} // namespace zel_api::command
