// One shift on offer.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zel_api::command {

class shift : public command {
public:
    void from_value(const json::value& root) override;

    int64_t id = -1; // the key of merging, of "shift-del" and of "buy-shift"
    std::wstring n;
    std::optional<float> c;        // price
    std::optional<int64_t> st_dt;  // a null member leaves it absent
    std::optional<int32_t> dur;    // hours
    std::optional<int32_t> status; // 1: can be bought
    std::optional<int32_t> nsa;
    std::wstring st_dt_str; // "HH:MM"; a null member leaves it as it is

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
