// The track server's answer to "/generate-uuid": the device's upload id. The text is the object of fields.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class upload_uuid_reply : public command {
public:
    void from_value(const json::value& fields) override;

    std::wstring uuid;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
