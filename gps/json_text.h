// JSON texts of the uploads (the upload id exchange and the trip-data files), over nlohmann's parser.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace zel::gps {

using ordered_json = nlohmann::ordered_json;

// Nesting deeper than this fails the parse (no file of ours nests more than three levels).
inline constexpr int json_max_depth = 32;

// Parses text whose top value must be an object. False on any syntax error, on too deep nesting or when the
// top value is not an object.
bool parse_json_object(const std::string& text, nlohmann::json& out);

// The compact text of a value; text that is not valid UTF-8 is replaced, never thrown on.
std::string dump_json(const ordered_json& value);

} // namespace zel::gps
