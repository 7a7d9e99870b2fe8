// Removes shifts on offer and bought shifts by their ids.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zel_api::command {

class shift_del : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::vector<int64_t> ids;
    std::vector<int64_t> sell_ids;
};

} // namespace zel_api::command
