#include "tools/skin/skin_checks.h"

#include <map>
#include <set>

namespace skin_tools {

namespace {

std::string name(const skin_row& row) {
    return std::to_string(row.id) + " (line " + std::to_string(row.line) + ")";
}

bool rows_uniform(const skin_canvas& c) {
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 1; x < c.width(); ++x) {
            if (!(c.at(x, y) == c.at(0, y))) {
                return false;
            }
        }
    }
    return true;
}

bool columns_uniform(const skin_canvas& c) {
    for (int x = 0; x < c.width(); ++x) {
        for (int y = 1; y < c.height(); ++y) {
            if (!(c.at(x, y) == c.at(x, 0))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

std::vector<std::string> skin_checks::picture(const skin_row& row, const skin_canvas& canvas) {
    std::vector<std::string> broken;
    if (canvas.width() != row.width || canvas.height() != row.height) {
        broken.push_back(name(row) + ": drawn " + std::to_string(canvas.width()) + "x" +
                         std::to_string(canvas.height()) + ", the table says " + std::to_string(row.width) + "x" +
                         std::to_string(row.height));
        return broken;
    }
    if (row.width % 2 || row.height % 2) {
        broken.push_back(name(row) + ": odd size");
    }
    if (!row.alpha && canvas.any_translucent()) {
        broken.push_back(name(row) + ": an RGB picture with alpha below 255");
    }
    const std::string stretch = row.text("stretch");
    if ((stretch == "h" || stretch == "hv") && !rows_uniform(canvas)) {
        broken.push_back(name(row) + ": not uniform along its horizontal stretch");
    }
    if ((stretch == "v" || stretch == "hv") && !columns_uniform(canvas)) {
        broken.push_back(name(row) + ": not uniform along its vertical stretch");
    }
    if (!stretch.empty() && stretch != "h" && stretch != "v" && stretch != "hv") {
        broken.push_back(name(row) + ": stretch is h, v or hv");
    }
    return broken;
}

std::vector<std::string> skin_checks::table(const skin_table& table) {
    std::vector<std::string> broken;
    std::set<int> present;
    for (const skin_row& row : table.rows()) {
        present.insert(row.id);
    }
    for (int id : expected_ids()) {
        if (!present.count(id)) {
            broken.push_back("id " + std::to_string(id) + " has no row");
        }
    }
    std::map<std::string, std::vector<const skin_row*>> sets;
    for (const skin_row& row : table.rows()) {
        auto limit = [&](const char* key, int value, bool ok) {
            if (row.has(key) && !ok) {
                broken.push_back(name(row) + ": " + key + "=" + row.text(key) + " does not hold (" +
                                 std::to_string(value) + ")");
            }
        };
        limit("fixed_w", row.width, row.width == row.number("fixed_w", row.width));
        limit("fixed_h", row.height, row.height == row.number("fixed_h", row.height));
        limit("max_w", row.width, row.width <= row.number("max_w", row.width));
        limit("max_h", row.height, row.height <= row.number("max_h", row.height));
        limit("min_h", row.height, row.height >= row.number("min_h", row.height));
        for (const char* key : {"same_h", "max_w_of"}) {
            if (!row.has(key)) {
                continue;
            }
            const skin_row* other = table.find(row.number(key, 0));
            if (!other) {
                broken.push_back(name(row) + ": " + key + " names no row");
            } else if (std::string(key) == "same_h" ? other->height != row.height : row.width > other->width) {
                broken.push_back(name(row) + ": " + key + "=" + row.text(key) + " does not hold");
            }
        }
        if (row.has("set")) {
            sets[row.text("set")].push_back(&row);
        }
    }
    for (const auto& [set, rows] : sets) {
        for (const skin_row* row : rows) {
            const bool vertical = row->text("dir", "h") == "v";
            const int across = vertical ? row->width : row->height;
            const int first = vertical ? rows.front()->width : rows.front()->height;
            if (across != first) {
                broken.push_back(name(*row) + ": set " + set + " has pieces of different " +
                                 (vertical ? "widths" : "heights"));
            }
        }
    }
    return broken;
}

std::vector<int> skin_checks::expected_ids() {
    std::vector<int> ids;
    for (auto [from, to] : {std::pair{1001, 1066}, {2001, 2003}, {2004, 2212}, {5001, 5026}, {7001, 7069},
                            {8001, 8018}}) {
        for (int id = from; id <= to; ++id) {
            ids.push_back(id);
        }
    }
    return ids;
}

} // namespace skin_tools
