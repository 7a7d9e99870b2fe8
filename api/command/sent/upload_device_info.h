// The device's request for an upload id to the track server. Its fields are the top-level object itself.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class upload_device_info : public command {
public:
    upload_device_info(std::wstring imei, std::wstring device_name, int64_t device_time);
    std::wstring to_json() const override;

private:
    std::wstring imei_;
    std::wstring device_name_;
    int64_t device_time_;
};

} // namespace zel_api::command
