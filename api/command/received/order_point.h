// A point of an order: an address and a note.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class order_point : public command {
public:
    // The object of fields itself; members it lacks keep their texts.
    void from_value(const json::value& fields) override;

    std::wstring t;
    std::wstring tx;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
