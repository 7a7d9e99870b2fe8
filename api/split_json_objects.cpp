#include "api/split_json_objects.h"

#include "api/command/command_parse_exc.h"
#include "foundation/logger.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace zel_api {
namespace {

// Where a top-level object lies: its "{" and its "}".
struct span {
    std::size_t first;
    std::size_t last;
};

// Braces count only outside strings: an unescaped quote opens or closes a string, and the character after a
// backslash is skipped. Nothing when the text ends inside an object.
std::optional<std::vector<span>> objects_outside_strings(std::wstring_view text) {
    std::vector<span> objects;
    std::size_t depth = 0;
    std::size_t first = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (depth == 0) {
            if (c == L'{') {
                depth = 1;
                first = i;
            }
        } else if (in_string) {
            if (c == L'\\') {
                ++i;
            } else if (c == L'"') {
                in_string = false;
            }
        } else if (c == L'"') {
            in_string = true;
        } else if (c == L'{') {
            ++depth;
        } else if (c == L'}' && --depth == 0) {
            objects.push_back({first, i});
        }
    }
    if (depth != 0) {
        return std::nullopt;
    }
    return objects;
}

// Every brace counts, in strings too. Nothing when a "{" is left open.
std::optional<std::vector<span>> objects_by_brace_count(std::wstring_view text) {
    std::vector<span> objects;
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'{') {
            open.push_back(i);
        } else if (text[i] == L'}' && !open.empty()) {
            if (open.size() == 1) {
                objects.push_back({open.front(), i});
            }
            open.pop_back();
        }
    }
    if (!open.empty()) {
        return std::nullopt;
    }
    return objects;
}

void append_escaped_control(wchar_t c, std::wstring& out) {
    static constexpr wchar_t hex[] = L"0123456789ABCDEF";
    const auto code = static_cast<unsigned>(c);
    out += L"\\u00";
    out.push_back(hex[(code >> 4) & 0xF]);
    out.push_back(hex[code & 0xF]);
}

// The object's text with raw control characters inside its strings written as \u00XX escapes, so that it reads
// as JSON.
std::wstring escape_controls_in_strings(std::wstring_view object) {
    std::wstring out;
    out.reserve(object.size());
    bool in_string = false;
    for (std::size_t i = 0; i < object.size(); ++i) {
        const wchar_t c = object[i];
        if (!in_string) {
            in_string = c == L'"';
            out.push_back(c);
        } else if (c == L'\\') {
            out.append(object.substr(i, 2));
            ++i;
        } else if (static_cast<unsigned>(c) < 0x20) {
            append_escaped_control(c, out);
        } else {
            in_string = c != L'"';
            out.push_back(c);
        }
    }
    return out;
}

// An object cut by the brace count has its strings escaped only when they close inside it; otherwise the
// quotes can't be trusted to say where a string is, and the text stays as it came.
std::wstring counted_object_text(std::wstring_view object) {
    const auto inner = objects_outside_strings(object);
    if (inner && inner->size() == 1 && inner->front().last + 1 == object.size()) {
        return escape_controls_in_strings(object);
    }
    return std::wstring(object);
}

} // namespace

std::vector<std::wstring> split_json_objects(const std::wstring& text) {
    const std::wstring_view whole = std::wstring_view(text).substr(0, std::min(text.find(L'\0'), text.size()));
    std::vector<std::wstring> pieces;
    if (const auto objects = objects_outside_strings(whole)) {
        for (const span& object : *objects) {
            pieces.push_back(escape_controls_in_strings(whole.substr(object.first, object.last + 1 - object.first)));
        }
        return pieces;
    }
    // One unescaped quote would leave the rest of the packet "in a string" and lose it all, the result a screen
    // waits for with it: counted without strings, only the broken object is lost.
    if (const auto objects = objects_by_brace_count(whole)) {
        zel::log(zel::logger::warning,
                 L"split_json_objects: the text ends inside a string or an object; braces counted without strings");
        for (const span& object : *objects) {
            pieces.push_back(counted_object_text(whole.substr(object.first, object.last + 1 - object.first)));
        }
        return pieces;
    }
    throw command::command_parse_exc(command::command_parse_exc::incorrect_data);
}

} // namespace zel_api
