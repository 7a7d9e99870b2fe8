// Asks the login server for the device's profile (dispatch servers, registration data, update offer).
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class cmd_get_profile : public command {
public:
    // An empty main id, local id or SMS key is left out of the text.
    cmd_get_profile(int32_t dev_type, std::wstring main_id, std::wstring local_id, std::wstring sms_key,
                    std::wstring version);
    std::wstring to_json() const override;

private:
    int32_t dev_type_;
    std::wstring main_id_;
    std::wstring local_id_;
    std::wstring sms_key_;
    std::wstring version_;
};

} // namespace zel_api::command
