// The offer of a program update.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>

namespace zel_api::command {

class obj_update : public command {
public:
    void from_value(const json::value& root) override;
    void read_fields(const json::value& fields);

    int32_t device_type = 0;
    std::wstring version; // the version offered
    std::wstring srv_ftp; // the FTP host
    std::wstring ftp_path;
    int32_t man = 0; // 0: a failed update ends the program
};

} // namespace zel_api::command
