#include "api/command/command.h"

#include "api/command/record_io.h"

namespace zel_api::command {

std::wstring command::to_json() const {
    return L"none";
}

void command::from_json(const std::wstring& text) {
    from_value(read_json_text(text));
}

void command::from_value(const json::value&) {}

} // namespace zel_api::command
