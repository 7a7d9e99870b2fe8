// Removes messages by their ids.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zel_api::command {

class msg_del : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    std::vector<uint64_t> ids;
};

} // namespace zel_api::command
