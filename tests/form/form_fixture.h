// Helpers of the drawing and control tests: PNG bytes made in memory, a tiny surface read back as rows of
// characters, and a mini skin written as real resource libraries into a temporary program folder.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "form/drawing/graphics.h"
#include "tests/support/temp_app_folder.h"

namespace zel::test {

// A PNG file of w x h pixels given as 0xAARRGGBB, rows top-down (RGBA when any alpha is below 255).
std::vector<std::uint8_t> png_bytes(int width, int height, const std::vector<std::uint32_t>& argb);
std::vector<std::uint8_t> solid_png(int width, int height, std::uint32_t argb);

// The surface's pixels as 0x00RRGGBB, rows top-down.
std::vector<std::uint32_t> pixels_of(const form::Graphics& g);
// One string per row; each pixel becomes its colour's character (colours 0x00RRGGBB), '?' for any other.
std::vector<std::string> rows_of(const form::Graphics& g, const std::map<std::uint32_t, char>& legend);
std::uint32_t pixel_at(const form::Graphics& g, int x, int y);

// The program folder of one test with skin libraries under skin/.
class mini_skin : public temp_app_folder {
public:
    // Writes skin/NAME.dll holding each picture as a "PNG" resource named by its id.
    void write_library(const std::string& name, const std::map<int, std::vector<std::uint8_t>>& pictures) const;
};

} // namespace zel::test
