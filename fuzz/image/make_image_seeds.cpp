// Writes the seed corpora of the image fuzz targets: run once from the repository root as
// build/test/bin/make_image_seeds fuzz/corpus and commit the files.
#include "tests/image/image_fixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace zel::test;

void write(const fs::path& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint8_t gradient(uint32_t x, uint32_t y, int c) {
    return static_cast<uint8_t>(x * 16 + y * 8 + c * 40);
}

std::vector<uint8_t> exif_block() {
    // "Exif\0\0", little-endian TIFF header, IFD0: make, orientation, resolution (rational at 50), EXIF
    // pointer to a directory with the exposure time (rational at 76).
    std::vector<uint8_t> b = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    const auto u16 = [&](uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const auto entry = [&](uint32_t tag, uint32_t format, uint32_t count, uint32_t value) {
        u16(tag);
        u16(format);
        u32(count);
        u32(value);
    };
    u16(3);
    entry(271, 2, 4, 'C' | 'a' << 8 | 'm' << 16);
    entry(282, 5, 1, 50);
    entry(34665, 4, 1, 58);
    u32(0);
    u32(72);
    u32(1);
    u16(1);
    entry(33434, 5, 1, 76);
    u32(0);
    u32(1);
    u32(250);
    return b;
}

std::vector<uint8_t> jpeg_with_exif(const std::vector<uint8_t>& jpeg) {
    const std::vector<uint8_t> block = exif_block();
    std::vector<uint8_t> out = {
        0xFF, 0xD8, 0xFF, 0xE1, static_cast<uint8_t>((block.size() + 2) >> 8), static_cast<uint8_t>(block.size() + 2)};
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path root = argc > 1 ? argv[1] : "fuzz/corpus";
    const std::pair<int, int> kinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                         {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    for (auto [type, depth] : kinds) {
        for (bool interlaced : {false, true}) {
            png_recipe recipe;
            recipe.width = 7;
            recipe.height = 5;
            recipe.color_type = type;
            recipe.bit_depth = depth;
            recipe.interlaced = interlaced;
            if (type == 3) {
                for (int i = 0; i < (1 << depth) && i < 16; ++i) {
                    recipe.palette.push_back(png_color{static_cast<uint8_t>(i * 15), 0, static_cast<uint8_t>(255 - i)});
                }
                recipe.trns_alpha = {0, 128};
            }
            if (type == 2) {
                recipe.trns_color = png_color_16{0, 1, 2, 3, 0};
                recipe.phys = std::array<uint32_t, 3>{2835, 2835, 1};
            }
            write(root / "png_fuzz",
                  "type" + std::to_string(type) + "_depth" + std::to_string(depth) + (interlaced ? "_adam7" : "") +
                      ".png",
                  make_png(recipe));
        }
    }
    const auto colour = make_jpeg(16, 16, 3, gradient, 80);
    write(root / "jpeg_fuzz", "colour.jpg", colour);
    write(root / "jpeg_fuzz", "grey.jpg", make_jpeg(9, 7, 1, gradient, 50));
    write(root / "jpeg_fuzz", "exif.jpg", jpeg_with_exif(make_jpeg(8, 8, 3, gradient, 60)));
    write(root / "exif_fuzz", "exif.jpg", jpeg_with_exif(make_jpeg(8, 8, 1, gradient, 60)));
    write(root / "exif_fuzz", "exif_block.bin", exif_block());

    std::vector<uint32_t> palette(16);
    for (uint32_t i = 0; i < 16; ++i) {
        palette[i] = i * 0x0F0F0F;
    }
    std::vector<uint8_t> rows(4 * 8);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<uint8_t>(i * 0x13);
    }
    std::vector<uint8_t> mask(4 * 8, 0);
    mask[0] = 0xF0;
    std::vector<uint8_t> pixels(4 * 4 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>(i * 17);
    }
    png_recipe icon_png;
    icon_png.width = 16;
    icon_png.height = 16;
    icon_png.color_type = 6;
    write(root / "icon_fuzz", "four_bit.ico", make_icon({{8, 8, make_icon_bitmap(8, 8, 4, palette, rows, mask)}}));
    write(root / "icon_fuzz", "alpha.ico",
          make_icon({{4, 4, make_icon_bitmap(4, 4, 32, {}, pixels, std::vector<uint8_t>(16, 0x20))}}, 2));
    write(root / "icon_fuzz", "png_entry.ico",
          make_icon({{8, 8, make_icon_bitmap(8, 8, 4, palette, rows, mask)}, {0, 0, make_png(icon_png)}}));
    std::printf("seeds written to %s\n", root.c_str());
    return 0;
}
