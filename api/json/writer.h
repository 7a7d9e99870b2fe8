// Writes a value as compact JSON: no white space, members in the order they were added, printable characters
// as raw UTF-8, control characters as \u00XX, reals in the shortest form that reads back to the same value
// (always with a point or an exponent, so a real stays a real). A non-finite real has no JSON form: null.
#pragma once

#include "api/json/value.h"

#include <string>

namespace zel_api::json {

std::string write(const value& v);
void write_to(const value& v, std::string& out);

} // namespace zel_api::json
