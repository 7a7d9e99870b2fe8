#include "api/command/sent/buy_shift.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

buy_shift::buy_shift(int64_t id) : id_(id) {}

std::wstring buy_shift::to_json() const {
    return write_single(wire::buy_shift, "id", json::value::integer(id_));
}

} // namespace zel_api::command
