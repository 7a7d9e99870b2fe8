#include "api/command/received/obj_device_server.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

std::wstring obj_device_server::to_json() const {
    json::value inner = json::value::empty_object();
    inner.add("db-type", json::value::integer(db_type));
    inner.add("city-id", json::value::unsigned_integer(static_cast<uint64_t>(city_id)));
    inner.add("n", text_value(n));
    inner.add("org-id", json::value::unsigned_integer(static_cast<uint64_t>(org_id)));
    inner.add("server-addr", texts_value(server_addr));
    // Without it a server read back from the list file would lose its city's name.
    inner.add("city-name", text_value(city_name));
    return write_command(wire::obj_device_server, std::move(inner));
}

void obj_device_server::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::obj_device_server));
}

void obj_device_server::read_fields(const json::value& fields) {
    for_each_field(fields, [this](std::string_view key, const json::value& v) {
        if (key == "db-type") {
            db_type = v.as_int32();
        } else if (key == "city-id") {
            city_id = v.as_int64();
        } else if (key == "org-id") {
            org_id = v.as_int64();
        } else if (key == "n") {
            n = to_wide(v);
        } else if (key == "city-name") {
            city_name = to_wide(v);
        } else if (key == "server-addr") {
            append_each(v, server_addr, to_wide);
        }
    });
}

} // namespace zel_api::command
