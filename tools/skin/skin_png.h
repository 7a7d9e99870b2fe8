// PNG output of the skin generator: libpng, 8-bit RGB or RGBA, no interlace, only IHDR, IDAT and IEND, zlib
// level 9 and one fixed row filter, so the same pixels always give the same bytes. Also the pixel digest of
// the manifest. Stateless.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin/skin_canvas.h"

namespace skin_tools {

// Throws std::runtime_error when libpng fails.
std::vector<std::uint8_t> encode_png(const skin_canvas& canvas, bool alpha);
// Decodes an 8-bit RGB or RGBA PNG (the generator's own output) into a canvas; alpha tells which it was.
// Throws std::runtime_error for anything else.
skin_canvas decode_png(const std::vector<std::uint8_t>& bytes, bool& alpha);
// FNV-1a (64 bits) over the stored channels, row by row, as 16 hex digits.
std::string pixel_digest(const skin_canvas& canvas, bool alpha);

} // namespace skin_tools
