// The rules a skin picture must keep, checked by the generator before it writes anything and by the tests on
// the built libraries. Each check returns the broken rules as readable lines (empty when all hold). Rules:
// even sizes; an RGB row draws no alpha below 255; stretch=h rows are one colour along each row, stretch=v
// pictures one colour down each column (stretch=hv both: tiles); the layout limits of a row (fixed_w=,
// fixed_h=, max_w=, max_h=, min_h=, same_h=ID, max_w_of=ID) and of a slice set (set=NAME: caps and middle of
// one height, or of one width when dir=v); every id of the five ranges and 2001-2003 present, nothing else.
// Stateless.
#pragma once

#include <string>
#include <vector>

#include "tools/skin/skin_canvas.h"
#include "tools/skin/skin_table.h"

namespace skin_tools {

class skin_checks {
public:
    // The picture drawn (or decoded) for row.
    static std::vector<std::string> picture(const skin_row& row, const skin_canvas& canvas);
    // The table as a whole: ids, limits, slice sets.
    static std::vector<std::string> table(const skin_table& table);
    // The ids the program registers (the five ranges) and 2001-2003, ascending.
    static std::vector<int> expected_ids();
};

} // namespace skin_tools
