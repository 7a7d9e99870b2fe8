// One free car of "cars".
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class car : public command {
public:
    // The object of fields itself.
    void from_value(const json::value& fields) override;

    int64_t id = 0;
    std::wstring color;
    std::wstring regnum; // may end with a region in square brackets
    std::wstring name;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
