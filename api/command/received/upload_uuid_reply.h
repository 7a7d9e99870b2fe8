// The track server's answer to "/generate-uuid": the device's upload id. The text is the object of fields.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class upload_uuid_reply : public command {
public:
    void from_value(const json::value& fields) override;
    void read_fields(const json::value& fields);

    std::wstring uuid;
};

} // namespace zel_api::command
