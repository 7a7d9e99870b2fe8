// The pictograms of the default skin, each drawn from the canvas primitives on a 64-unit grid scaled to a
// square box. Every glyph keeps its strokes at 6 units or more, so a 32-px box still gets 3-px strokes.
#pragma once

#include <string>
#include <vector>

#include "tools/skin/skin_canvas.h"

namespace skin_tools {

// Draws glyph name into the box of size pixels at (x, y) (pixels) in colour; accent colours the parts that
// a glyph shows in a second colour (a slash, bars, a plus). False for an unknown name.
bool draw_glyph(skin_canvas& canvas, const std::string& name, int x, int y, int size, rgba colour, rgba accent);

std::vector<std::string> glyph_names();

} // namespace skin_tools
