// The figures of one parking.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class adc : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    int64_t id = 0;
    int32_t c = 0;
    int32_t q = 0;
};

} // namespace zel_api::command
