// A dispatch server that the login server names. The server list file holds these records as the texts of
// to_json, read back through from_json, so the builder writes every field the parser reads.
#pragma once

#include "api/command/command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zel_api::command {

class obj_device_server : public command {
public:
    std::wstring to_json() const override;
    void from_value(const json::value& root) override;

    std::vector<std::wstring> get_server_addrs() const {
        return server_addr;
    }

    int32_t db_type = 0;
    int64_t city_id = 0;
    int64_t org_id = 0; // sent in "login"
    std::wstring n;     // the server's name
    std::wstring city_name;
    std::vector<std::wstring> server_addr; // "host:port:part", tried in order; appended

private:
    friend struct record_access;
    // The object of fields, in place and without rollback: only fill_record reaches it, on a copy that it
    // commits whole.
    void read_fields(const json::value& fields);
};

} // namespace zel_api::command
