// Where DrawTextW puts each line and character: the one layout that both measuring (DT_CALCRECT) and drawing use.
#pragma once

#include <string>
#include <vector>

#include "platform/text/font_engine.h"

namespace platform {

struct text_line {
    std::u32string chars; // after '&' prefixes and the ellipsis
    int underline = -1;   // index in chars of the character a prefix underlines
    int width = 0;        // sum of the advances
    int x = 0;            // left of the line's first pen position
    int y = 0;            // top of the line's cell
};

struct text_layout {
    std::vector<text_line> lines;
    int line_height = 0;
    int ascent = 0;
    int width = 0;  // the widest line
    int height = 0; // number of lines times the line height
};

// Lays the text out in the rectangle by the DT_ flags. With DT_CALCRECT the lines start at the rectangle's
// left and top and no ellipsis is made. Call with the font engine's lock held.
text_layout lay_out_text(sized_font& font, const wchar_t* text, std::size_t count, const RECT& rect, UINT format);

} // namespace platform
