// Reads one JSON text (UTF-8) into a value. Reading never fails: a text that is not exactly one JSON value
// (white space around it allowed; any other byte after it, a NUL included, refuses it), or that nests arrays
// and objects deeper than max_depth, gives a null value, which then fails with a type error at its first typed
// access. Only std::bad_alloc escapes. Half a surrogate pair ("\uD83D" alone, or a lone low half) reads as
// U+FFFD, as invalid UTF-8 does on the way in; "\u0000" stays in the string.
#pragma once

#include "api/json/value.h"

#include <string_view>

namespace zel_api::json {

inline constexpr int max_depth = 32;

value read(std::string_view text);

} // namespace zel_api::json
