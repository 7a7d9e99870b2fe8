#include "api/command/sent/login.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

#include <utility>

namespace zel_api::command {

login::login(std::wstring ver, int64_t org_id, std::wstring imei, std::wstring dev_id, std::wstring pin,
             std::wstring device_model, uint8_t reconnect, int64_t driver_id)
    : ver_(std::move(ver)), org_id_(org_id), imei_(std::move(imei)), dev_id_(std::move(dev_id)), pin_(std::move(pin)),
      device_model_(std::move(device_model)), reconnect_(reconnect), driver_id_(driver_id) {}

std::wstring login::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("ver", text_value(ver_));
    inner.add("org-id", json::value::integer(org_id_));
    inner.add("imei", text_value(imei_));
    inner.add("dev-id", text_value(dev_id_));
    inner.add("pin", text_value(pin_));
    inner.add("device-model", text_value(device_model_));
    inner.add("reconnect", json::value::integer(reconnect_ != 0 ? 1 : 0));
    inner.add("driver-id", json::value::integer(driver_id_));
    inner.add("language-ISO_639-1-code", json::value::string("ru"));
    return write_command(wire::login, std::move(inner));
}

} // namespace zel_api::command
