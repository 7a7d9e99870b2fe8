// A message to the driver. Line ends are normalised: a carriage return is dropped and a line feed becomes a
// space and a line feed. The first "txt" of a text replaces the message; a further "txt" in the same text is
// appended to it.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class msg : public command {
public:
    void from_value(const json::value& root) override;

    int64_t id = 0; // the key of merging, of "msg-del" and of "msg-read"
    std::wstring txt;
    int32_t s = 0;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
