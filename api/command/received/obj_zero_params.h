// What the device needs before it is registered.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class obj_zero_params : public command {
public:
    void from_value(const json::value& root) override;

    std::wstring sms; // the number the registration SMS goes to
    std::wstring track_srv_ip;
    bool noprofile = false;
    std::wstring sms_key; // the key that ends the registration SMS

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
