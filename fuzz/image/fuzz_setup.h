// Shared by the image fuzz targets: decode failures are logged as warnings, which would flood the run.
#pragma once

#include "foundation/logger.h"

namespace zel::fuzz {

inline void quiet_logger() {
    static const bool done = [] {
        logger::create(logger::fatal);
        return true;
    }();
    (void)done;
}

} // namespace zel::fuzz
