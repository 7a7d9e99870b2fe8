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

    std::vector<uint64_t> ids;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
