// The picture table of the default skin (assets/skin/pictures.table), one row per picture id:
//   ID LIBRARY WIDTHxHEIGHT RGB|A KIND [NAME=VALUE]...
// LIBRARY is button, main, toolbar, order or help (skin/skin_black_<library>.dll); KIND names the drawing and
// the NAME=VALUE parameters tune it. "#" starts a comment; blank lines are skipped. Reading checks the form of
// every row and throws table_error naming the line of the first bad one. No state beyond the rows.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/skin/skin_canvas.h"

namespace skin_tools {

class table_error : public std::runtime_error {
public:
    table_error(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what), line(line) {}
    int line;
};

struct skin_row {
    int line = 0;
    int id = 0;
    std::string library; // short name: button, main, toolbar, order, help
    int width = 0;
    int height = 0;
    bool alpha = false; // RGBA when true, else RGB
    std::string kind;
    std::map<std::string, std::string> params;

    bool has(const std::string& name) const {
        return params.count(name) != 0;
    }
    std::string text(const std::string& name, const std::string& fallback = "") const;
    // A whole number; throws table_error when present and malformed.
    int number(const std::string& name, int fallback) const;
    // A colour: a palette name, optionally "/ALPHA", or "R,G,B" or "R,G,B,A".
    rgba colour(const std::string& name, rgba fallback) const;
    std::optional<rgba> colour(const std::string& name) const;
};

// The file name of a library: "skin_black_" + short name.
std::string library_file_name(const std::string& library);
// The id ranges the program registers for each library (2001-2003 come on top in help).
bool id_in_library_range(const std::string& library, int id);

rgba parse_colour(const std::string& text, int line);

class skin_table {
public:
    static skin_table parse(const std::string& text);
    static skin_table load(const std::string& path);

    const std::vector<skin_row>& rows() const {
        return rows_;
    }
    const skin_row* find(int id) const;

private:
    std::vector<skin_row> rows_;
};

} // namespace skin_tools
