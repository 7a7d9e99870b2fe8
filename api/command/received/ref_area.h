// One area of the service region.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zel_api::command {

// The area types ("t") that the screens tell apart; 0 stands for an area that is not in the store.
namespace area_type {
inline constexpr int32_t parking = 1;  // a parking, where the driver stands in the queue for orders
inline constexpr int32_t district = 2; // an area with parkings ("cid"), listed for the driver to choose from
inline constexpr int32_t outlying = 4; // told apart from 1 by the server only: the screens treat both alike
} // namespace area_type

class ref_area : public command {
public:
    void from_value(const json::value& root) override;

    int64_t id = 0;
    std::wstring n;
    int32_t t = 0;            // area type: an area_type value
    std::vector<int64_t> cid; // the parkings of the area; appended

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
