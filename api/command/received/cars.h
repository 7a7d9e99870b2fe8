// The cars free for the driver.
#pragma once

#include "api/command/command.h"
#include "api/command/received/car.h"

#include <vector>

namespace zel_api::command {

class cars : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::vector<car> freecars; // appended
};

} // namespace zel_api::command
