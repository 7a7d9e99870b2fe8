// Cuts a packet's text into its top-level JSON objects, in text order.
//
// The text ends at its first NUL. Outside objects every character is dropped, a stray "}" among them. Inside
// an object braces count only outside strings: an unescaped quote opens or closes a string and the character
// after a backslash is skipped, so a brace in a message text or an address doesn't cut the object. Raw control
// characters inside strings are written as \u00XX escapes so that the piece reads as JSON.
//
// When that scan ends inside a string or an object (an unescaped quote in one object leaves every later one
// "in a string"), the text is cut again counting every brace, in strings too, and the fallback is logged: the
// broken object then fails alone when it is read, and the objects after it still arrive. Only a text that
// leaves a "{" open by that count too throws command_parse_exc incorrect_data and yields nothing, even after
// complete objects.
#pragma once

#include <string>
#include <vector>

namespace zel_api {

std::vector<std::wstring> split_json_objects(const std::wstring& text);

} // namespace zel_api
