// A point of an order: an address and a note.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class order_point : public command {
public:
    // The object of fields itself; members it lacks keep their texts.
    void from_value(const json::value& fields) override;
    // In place and without rollback: for the parser of an enclosing record, which fills a copy of its own.
    void read_fields(const json::value& fields);

    std::wstring t;
    std::wstring tx;
};

} // namespace zel_api::command
