// The device's main id, as the server gives it.
#pragma once

#include "api/command/command.h"

#include <string>

namespace zel_api::command {

class obj_main_id : public command {
public:
    void from_value(const json::value& root) override;

    std::wstring main_id;

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
