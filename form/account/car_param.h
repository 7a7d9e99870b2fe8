// The car panel's parameter: what a chosen car is for, and for a shift's beginning the parking where it begins.
#pragma once

#include <cstdint>

#include "form/shell/panel_param.h"

namespace zel::form {

class car_param : public panel_param {
public:
    // 0 begins a shift at the parking with the car, 1 changes the driver's car; any other mode does nothing.
    enum : int32_t { begin_shift = 0, change_car = 1 };

    car_param(int32_t m, int64_t parking) : mode(m), parking_id(parking) {}

    int32_t mode;
    int64_t parking_id;
};

} // namespace zel::form
