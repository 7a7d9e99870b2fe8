// One shift the driver bought.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zel_api::command {

class sell_shift : public command {
public:
    void from_value(const json::value& root) override;

    int64_t id_sell = -1; // the key of merging and of "shift-del" "sell-ids"
    std::optional<int64_t> id_shift;
    std::optional<int64_t> st_dt;
    std::optional<int32_t> status;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
