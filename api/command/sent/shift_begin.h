// The driver begins a shift in an area, with a car or (car id -1) without one.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class shift_begin : public command {
public:
    shift_begin(int64_t area_id, int64_t car_id);
    std::wstring to_json() const override;

private:
    int64_t area_id_;
    int64_t car_id_;
};

} // namespace zel_api::command
