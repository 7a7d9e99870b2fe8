// The driver chooses a status.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class set_driver_status : public command {
public:
    explicit set_driver_status(int32_t id);
    std::wstring to_json() const override;

private:
    int32_t id_;
};

} // namespace zel_api::command
