#include "api/command/sent/cmd_get_profile.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

cmd_get_profile::cmd_get_profile(int32_t dev_type, std::wstring main_id, std::wstring local_id, std::wstring sms_key,
                                 std::wstring version)
    : dev_type_(dev_type), main_id_(std::move(main_id)), local_id_(std::move(local_id)), sms_key_(std::move(sms_key)),
      version_(std::move(version)) {}

std::wstring cmd_get_profile::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("dev-type", json::value::integer(dev_type_));
    if (!main_id_.empty()) {
        inner.add("main-id", text_value(main_id_));
    }
    if (!local_id_.empty()) {
        inner.add("local-id", text_value(local_id_));
    }
    if (!sms_key_.empty()) {
        inner.add("sms-key", text_value(sms_key_));
    }
    inner.add("version", text_value(version_));
    return write_command(wire::cmd_get_profile, std::move(inner));
}

} // namespace zel_api::command
