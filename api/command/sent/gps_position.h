// The car's position, reported to the dispatch server.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class gps_position : public command {
public:
    // Degrees; metres; km/h; the fix's accuracy value; course in degrees.
    gps_position(double longitude, double latitude, int32_t altitude, int32_t speed, int32_t accuracy, int32_t course);
    std::wstring to_json() const override;

private:
    double longitude_;
    double latitude_;
    int32_t altitude_;
    int32_t speed_;
    int32_t accuracy_;
    int32_t course_;
};

} // namespace zel_api::command
