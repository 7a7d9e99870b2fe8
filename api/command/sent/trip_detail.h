// One cost item of a "close-order" block: a code ("distance", "time", "downtime", "prepay", "driver-specified",
// "item-cost-precision", "total-cost-precision"), a sum and a number of units.
#pragma once

#include <string>
#include <utility>

namespace zel_api::command {

struct trip_detail {
    trip_detail(std::wstring code, float sum, float units) : code(std::move(code)), sum(sum), units(units) {}

    std::wstring code;
    float sum;
    float units;
};

} // namespace zel_api::command
