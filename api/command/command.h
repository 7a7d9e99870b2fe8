// Base of every protocol command and record. A sent command overrides to_json; a received record overrides
// from_value, which from_json reaches after reading the text. Records with a wire name expect the whole object
// {"name": {fields}}; sub-records (points, rates, reply items) expect the object of fields itself.
//
// A record's from_value either takes every member of the text or, when it throws, leaves the record exactly
// as it was: parsers fill a copy and commit it at the end, so a failed update never leaves half a record.
#pragma once

#include "api/json/value.h"

#include <string>

namespace zel_api::command {

class command {
public:
    command() = default;
    command(const command&) = default;
    command& operator=(const command&) = default;
    virtual ~command() = default;

    // The command's JSON text; "none" for a class that sends nothing.
    virtual std::wstring to_json() const;
    // Reads the text and hands it to from_value. A failure to read the text itself (only running out of
    // memory) becomes command_parse_exc broken_structure; a text that isn't JSON reads as null.
    virtual void from_json(const std::wstring& text);
    // Fills the record from an already read value; the base takes nothing. Throws command_parse_exc
    // wrong_command or json::type_error.
    virtual void from_value(const json::value& root);
};

} // namespace zel_api::command
