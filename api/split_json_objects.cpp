#include "api/split_json_objects.h"

#include "api/command/command_parse_exc.h"

#include <algorithm>

namespace zel_api {
namespace {

void append_escaped_control(wchar_t c, std::wstring& out) {
    static constexpr wchar_t hex[] = L"0123456789ABCDEF";
    const auto code = static_cast<unsigned>(c);
    out += L"\\u00";
    out.push_back(hex[(code >> 4) & 0xF]);
    out.push_back(hex[code & 0xF]);
}

} // namespace

std::vector<std::wstring> split_json_objects(const std::wstring& text) {
    const std::size_t end = std::min(text.find(L'\0'), text.size());
    std::vector<std::wstring> pieces;
    std::wstring piece;
    std::size_t depth = 0;
    std::size_t copied_to = 0; // the first character of the open piece not yet copied into piece
    bool in_string = false;
    for (std::size_t i = 0; i < end; ++i) {
        const wchar_t c = text[i];
        if (depth == 0) {
            if (c == L'{') {
                depth = 1;
                copied_to = i;
            }
            continue;
        }
        if (in_string) {
            if (c == L'\\') {
                ++i;
            } else if (c == L'"') {
                in_string = false;
            } else if (static_cast<unsigned>(c) < 0x20) {
                piece.append(text, copied_to, i - copied_to);
                append_escaped_control(c, piece);
                copied_to = i + 1;
            }
            continue;
        }
        if (c == L'"') {
            in_string = true;
        } else if (c == L'{') {
            ++depth;
        } else if (c == L'}' && --depth == 0) {
            piece.append(text, copied_to, i + 1 - copied_to);
            pieces.push_back(std::move(piece));
            piece.clear();
        }
    }
    if (depth != 0) {
        throw command::command_parse_exc(command::command_parse_exc::incorrect_data);
    }
    return pieces;
}

} // namespace zel_api
