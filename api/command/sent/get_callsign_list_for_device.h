// Asks a dispatch server for the call signs offered to this device.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class get_callsign_list_for_device : public command {
public:
    get_callsign_list_for_device(std::wstring local_id, std::wstring main_id, int64_t organization_id);
    std::wstring to_json() const override;

private:
    std::wstring local_id_;
    std::wstring main_id_;
    int64_t organization_id_;
};

} // namespace zel_api::command
