// The driver's PIN login on a dispatch server.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class login : public command {
public:
    login(std::wstring ver, int64_t org_id, std::wstring imei, std::wstring dev_id, std::wstring pin,
          std::wstring device_model, uint8_t reconnect, int64_t driver_id);
    std::wstring to_json() const override;

private:
    std::wstring ver_;
    int64_t org_id_;
    std::wstring imei_;
    std::wstring dev_id_;
    std::wstring pin_;
    std::wstring device_model_;
    uint8_t reconnect_;
    int64_t driver_id_;
};

} // namespace zel_api::command
