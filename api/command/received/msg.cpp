#include "api/command/received/msg.h"

#include "api/command/record_io.h"
#include "api/command_names.h"

namespace zel_api::command {
namespace {

void append_normalised(const std::wstring& text, std::wstring& out) {
    for (wchar_t c : text) {
        if (c == L'\r') {
            continue;
        }
        if (c == L'\n') {
            out.push_back(L' ');
        }
        out.push_back(c);
    }
}

} // namespace

void msg::from_value(const json::value& root) {
    fill_record(*this, wire_fields(root, wire::msg));
}

void msg::read_fields(const json::value& fields) {
    // A message re-sent after a reconnect is merged into the held one: appending its text there would double
    // it, so only a second "txt" of the same text appends.
    bool text_seen = false;
    for_each_field(fields, [this, &text_seen](std::string_view key, const json::value& v) {
        if (key == "id") {
            id = v.as_int64();
        } else if (key == "txt") {
            const std::wstring text = to_wide(v);
            if (!text_seen) {
                txt.clear();
                text_seen = true;
            }
            append_normalised(text, txt);
        } else if (key == "s") {
            s = v.as_int32();
        }
    });
}

} // namespace zel_api::command
