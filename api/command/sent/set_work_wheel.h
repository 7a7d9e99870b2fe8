// The driver chooses the car he works with; car id -1 sends no car.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class set_work_wheel : public command {
public:
    explicit set_work_wheel(int64_t car_id);
    std::wstring to_json() const override;

private:
    int64_t car_id_;
};

} // namespace zel_api::command
