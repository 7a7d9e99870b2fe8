// The login server's answer, also the answer of the registration over HTTP. It has no wire name: the text is
// the object of fields itself. An answer that carries "errors" replaces the list; one that can't be read
// leaves the record as it was (the registration thread's default error item among it).
#pragma once

#include "api/command/command.h"
#include "api/command/received/reply_error.h"

#include <string>
#include <vector>

namespace zel_api::command {

class login_reply : public command {
public:
    void from_value(const json::value& fields) override;

    std::wstring status; // "ok" on success
    std::vector<reply_error> errors;
    std::wstring text;
    std::wstring login;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
