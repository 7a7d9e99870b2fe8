// One area of the service region.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zel_api::command {

class ref_area : public command {
public:
    void from_value(const json::value& root) override;

    int64_t id = 0;
    std::wstring n;
    int32_t t = 0;            // area type
    std::vector<int64_t> cid; // the parkings of the area; appended

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
