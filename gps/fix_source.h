// What the GPS service reads once a second: a started source of readings. gps_device is the program's;
// manual_fix_source serves tests that must start no search and touch no serial port.
#pragma once

#include "gps/gps_fix.h"

namespace zel::gps {

class fix_source {
public:
    virtual ~fix_source() = default;
    // Begins finding and reading the source; called once by the GPS service's constructor.
    virtual void start() = 0;
    // A copy of the current reading.
    virtual gps_fix fix() = 0;
};

} // namespace zel::gps
