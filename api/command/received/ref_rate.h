// One rating item.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class ref_rate : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    int64_t id = 0;
    std::wstring n;
    int32_t t = 0;
    int32_t max = 0;
    int32_t o = 0;
};

} // namespace zel_api::command
