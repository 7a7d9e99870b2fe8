// The offer of a program update.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class obj_update : public command {
public:
    void from_value(const json::value& root) override;

    int32_t device_type = 0;
    std::wstring version; // the version offered
    std::wstring srv_ftp; // the FTP host
    std::wstring ftp_path;
    int32_t man = 0; // 0: a failed update ends the program

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
