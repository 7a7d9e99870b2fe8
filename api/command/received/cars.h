// The cars free for the driver.
#pragma once

#include "api/command/command.h"
#include "api/command/received/car.h"

#include <vector>

namespace zel_api::command {

class cars : public command {
public:
    void from_value(const json::value& root) override;

    std::vector<car> freecars; // appended

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
