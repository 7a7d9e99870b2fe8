#include "tools/skin/skin_table.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <set>
#include <sstream>

namespace skin_tools {

namespace {

const std::map<std::string, rgba>& palette() {
    static const std::map<std::string, rgba> colours = {
        {"clear", {0, 0, 0, 0}},
        {"black", {0, 0, 0, 255}},
        {"white", {255, 255, 255, 255}},
        {"slate", {31, 37, 45, 255}},
        {"panel", {38, 44, 52, 255}},
        {"deep", {23, 27, 34, 255}},
        {"well", {19, 22, 27, 255}},
        {"edge_dark", {21, 19, 31, 255}},
        {"edge_light", {61, 67, 73, 255}},
        {"bevel_light", {93, 96, 101, 255}},
        {"face_top", {67, 70, 75, 255}},
        {"face_bottom", {37, 38, 42, 255}},
        {"press_top", {254, 220, 0, 255}},
        {"press_bottom", {197, 163, 19, 255}},
        {"ok_top", {75, 143, 46, 255}},
        {"ok_bottom", {141, 193, 118, 255}},
        {"alarm_top", {227, 117, 18, 255}},
        {"alarm_bottom", {110, 20, 3, 255}},
        {"amber", {255, 195, 0, 255}},
        {"tariff_amber", {248, 186, 52, 255}},
        {"distance_green", {50, 155, 5, 255}},
        {"info_blue", {26, 94, 187, 255}},
        {"mint", {176, 214, 160, 255}},
        {"paper", {236, 234, 226, 255}},
        {"glyph", {255, 255, 255, 255}},
        {"glyph_dim", {149, 149, 149, 255}},
        {"glyph_off", {110, 110, 110, 255}},
        {"red", {200, 40, 30, 255}},
        {"yellow", {254, 220, 0, 255}},
    };
    return colours;
}

bool to_int(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && stop == end;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

const char* const libraries[] = {"button", "main", "toolbar", "order", "help"};

} // namespace

rgba parse_colour(const std::string& text, int line) {
    const auto slash = text.find('/');
    const std::string base = text.substr(0, slash);
    rgba colour;
    if (const auto it = palette().find(base); it != palette().end()) {
        colour = it->second;
    } else {
        const auto parts = split(base, ',');
        int v[4] = {0, 0, 0, 255};
        if (parts.size() < 3 || parts.size() > 4) {
            throw table_error(line, "bad colour " + text);
        }
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (!to_int(parts[i], v[i]) || v[i] < 0 || v[i] > 255) {
                throw table_error(line, "bad colour " + text);
            }
        }
        colour = {static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]), static_cast<std::uint8_t>(v[2]),
                  static_cast<std::uint8_t>(v[3])};
    }
    if (slash != std::string::npos) {
        int alpha = 0;
        if (!to_int(text.substr(slash + 1), alpha) || alpha < 0 || alpha > 255) {
            throw table_error(line, "bad alpha in " + text);
        }
        colour.a = static_cast<std::uint8_t>(alpha);
    }
    return colour;
}

std::string skin_row::text(const std::string& name, const std::string& fallback) const {
    const auto it = params.find(name);
    return it == params.end() ? fallback : it->second;
}

int skin_row::number(const std::string& name, int fallback) const {
    const auto it = params.find(name);
    if (it == params.end()) {
        return fallback;
    }
    int value = 0;
    if (!to_int(it->second, value)) {
        throw table_error(line, "parameter " + name + " is not a number: " + it->second);
    }
    return value;
}

std::optional<rgba> skin_row::colour(const std::string& name) const {
    const auto it = params.find(name);
    if (it == params.end()) {
        return std::nullopt;
    }
    return parse_colour(it->second, line);
}

rgba skin_row::colour(const std::string& name, rgba fallback) const {
    return colour(name).value_or(fallback);
}

std::string library_file_name(const std::string& library) {
    return "skin_black_" + library;
}

bool id_in_library_range(const std::string& library, int id) {
    if (library == "button") {
        return id >= 1001 && id <= 1066;
    }
    if (library == "main") {
        return id >= 5001 && id <= 5026;
    }
    if (library == "toolbar") {
        return id >= 8001 && id <= 8018;
    }
    if (library == "order") {
        return id >= 7001 && id <= 7069;
    }
    if (library == "help") {
        return id >= 2004 && id <= 2212;
    }
    return false;
}

skin_table skin_table::parse(const std::string& text) {
    skin_table table;
    std::set<int> seen;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        std::istringstream words(raw);
        std::vector<std::string> w;
        for (std::string word; words >> word;) {
            if (word[0] == '#') {
                break;
            }
            w.push_back(word);
        }
        if (w.empty()) {
            continue;
        }
        if (w.size() < 5) {
            throw table_error(line, "a row needs ID LIBRARY WIDTHxHEIGHT RGB|A KIND");
        }
        skin_row row;
        row.line = line;
        if (!to_int(w[0], row.id) || row.id <= 0 || row.id > 0xFFFF) {
            throw table_error(line, "bad id " + w[0]);
        }
        row.library = w[1];
        if (std::find(std::begin(libraries), std::end(libraries), row.library) == std::end(libraries)) {
            throw table_error(line, "unknown library " + w[1]);
        }
        if (!id_in_library_range(row.library, row.id) && !(row.library == "help" && row.id >= 2001 && row.id <= 2003)) {
            throw table_error(line, "id " + w[0] + " is outside the range of " + row.library);
        }
        const auto x = w[2].find('x');
        if (x == std::string::npos || !to_int(w[2].substr(0, x), row.width) ||
            !to_int(w[2].substr(x + 1), row.height) || row.width <= 0 || row.height <= 0 || row.width > 1024 ||
            row.height > 1024) {
            throw table_error(line, "bad size " + w[2]);
        }
        if (w[3] != "RGB" && w[3] != "A") {
            throw table_error(line, "the type is RGB or A, not " + w[3]);
        }
        row.alpha = w[3] == "A";
        row.kind = w[4];
        for (std::size_t i = 5; i < w.size(); ++i) {
            const auto eq = w[i].find('=');
            if (eq == std::string::npos || eq == 0) {
                throw table_error(line, "a parameter is NAME=VALUE, not " + w[i]);
            }
            row.params[w[i].substr(0, eq)] = w[i].substr(eq + 1);
        }
        if (!seen.insert(row.id).second) {
            throw table_error(line, "id " + w[0] + " is given twice");
        }
        table.rows_.push_back(std::move(row));
    }
    return table;
}

skin_table skin_table::load(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

const skin_row* skin_table::find(int id) const {
    for (const skin_row& row : rows_) {
        if (row.id == id) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace skin_tools
