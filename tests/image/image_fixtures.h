// Small images made in memory for the image tests, the fuzz seeds and the benchmark: PNGs written with
// libpng, JPEGs written with libjpeg, icons laid out byte by byte.
#pragma once

#include <png.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace zel::test {

struct png_recipe {
    uint32_t width = 4;
    uint32_t height = 3;
    int color_type = PNG_COLOR_TYPE_RGB;
    int bit_depth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<uint8_t> trns_alpha;             // palette images
    std::optional<png_color_16> trns_color;      // grey and RGB images
    std::optional<std::array<uint32_t, 3>> phys; // x, y, unit
};

// Sample c (0 grey/red/index, 1 green, 2 blue, last alpha) of pixel (x, y), y counted from the top row.
using sample_fn = std::function<uint16_t(uint32_t x, uint32_t y, int c)>;

int png_channels(int color_type);
// The default pattern: every sample a different value within the bit depth.
uint16_t pattern_sample(const png_recipe& recipe, uint32_t x, uint32_t y, int c);
std::vector<uint8_t> make_png(const png_recipe& recipe, const sample_fn& sample = {});

// A baseline JPEG of 1 (grey) or 3 (RGB) components; pixel(x, y, c) from the top row.
std::vector<uint8_t> make_jpeg(uint32_t width, uint32_t height, int components,
                               const std::function<uint8_t(uint32_t, uint32_t, int)>& pixel, int quality = 95);

// One icon entry: width and height bytes (0 means 256) and the entry's data.
struct icon_entry {
    uint8_t width_byte;
    uint8_t height_byte;
    std::vector<uint8_t> data;
};
std::vector<uint8_t> make_icon(const std::vector<icon_entry>& entries, uint16_t type = 1);
// A bitmap entry's data: 40-byte header (height doubled), palette, colour rows bottom-up, AND mask rows.
std::vector<uint8_t> make_icon_bitmap(uint32_t width, uint32_t height, uint16_t bits,
                                      const std::vector<uint32_t>& palette, const std::vector<uint8_t>& colour_rows,
                                      const std::vector<uint8_t>& mask_rows);

} // namespace zel::test
