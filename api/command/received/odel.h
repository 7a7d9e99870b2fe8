// Removes orders, named by their "s-id", from the list of one kind.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zel_api::command {

class odel : public command {
public:
    void from_value(const json::value& root) override;

    int32_t l_type = 0;
    std::vector<std::wstring> s_ids;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
