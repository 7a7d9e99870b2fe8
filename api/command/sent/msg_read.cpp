#include "api/command/sent/msg_read.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

msg_read::msg_read(uint64_t id) : id_(id) {}

std::wstring msg_read::to_json() const {
    return write_single(wire::msg_read, "id", json::value::unsigned_integer(id_));
}

} // namespace zel_api::command
