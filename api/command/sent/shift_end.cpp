#include "api/command/sent/shift_end.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {

std::wstring shift_end::to_json() const {
    return write_command(wire::shift_end, json::value::empty_object());
}

} // namespace zel_api::command
