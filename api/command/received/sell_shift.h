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
    void read_fields(const json::value& fields);

    int64_t id_sell = -1; // the key of merging and of "shift-del" "sell-ids"
    std::optional<int64_t> id_shift;
    std::optional<int64_t> st_dt;
    std::optional<int32_t> status;
};

} // namespace zel_api::command
