#include "tests/image/image_fixtures.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zel::test {

namespace {

void append_to_vector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void no_flush(png_structp) {}

// A fixture that libpng refuses is a broken test: stop at once.
void abort_on_error(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng: %s\n", message);
    std::abort();
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

int png_channels(int color_type) {
    switch (color_type) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

uint16_t pattern_sample(const png_recipe& recipe, uint32_t x, uint32_t y, int c) {
    const uint32_t max = (1u << recipe.bit_depth) - 1;
    uint32_t v = x * 37 + y * 101 + static_cast<uint32_t>(c) * 53 + 11;
    if (recipe.bit_depth == 16) {
        v = v * 0x0101 + x * 7;
    }
    if (recipe.color_type == PNG_COLOR_TYPE_PALETTE && !recipe.palette.empty()) {
        return static_cast<uint16_t>(v % recipe.palette.size());
    }
    return static_cast<uint16_t>(v & max);
}

std::vector<uint8_t> make_png(const png_recipe& recipe, const sample_fn& sample_in) {
    const sample_fn sample =
        sample_in ? sample_in : [&](uint32_t x, uint32_t y, int c) { return pattern_sample(recipe, x, y, c); };
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, abort_on_error, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, append_to_vector, no_flush);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bit_depth, recipe.color_type,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty()) {
        png_set_PLTE(png, info, recipe.palette.data(), static_cast<int>(recipe.palette.size()));
    }
    if (!recipe.trns_alpha.empty() || recipe.trns_color) {
        png_color_16 color = recipe.trns_color.value_or(png_color_16{});
        png_set_tRNS(png, info, recipe.trns_alpha.empty() ? nullptr : recipe.trns_alpha.data(),
                     static_cast<int>(recipe.trns_alpha.size()), recipe.trns_color ? &color : nullptr);
    }
    if (recipe.phys) {
        png_set_pHYs(png, info, (*recipe.phys)[0], (*recipe.phys)[1], static_cast<int>((*recipe.phys)[2]));
    }
    png_write_info(png, info);

    const int channels = png_channels(recipe.color_type);
    const size_t row_bytes = (size_t{recipe.width} * channels * recipe.bit_depth + 7) / 8;
    std::vector<std::vector<uint8_t>> rows(recipe.height, std::vector<uint8_t>(row_bytes));
    for (uint32_t y = 0; y < recipe.height; ++y) {
        uint8_t* row = rows[y].data();
        size_t bit = 0;
        for (uint32_t x = 0; x < recipe.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const uint16_t v = sample(x, y, c);
                if (recipe.bit_depth == 16) {
                    row[bit / 8] = static_cast<uint8_t>(v >> 8);
                    row[bit / 8 + 1] = static_cast<uint8_t>(v);
                } else if (recipe.bit_depth == 8) {
                    row[bit / 8] = static_cast<uint8_t>(v);
                } else {
                    const int shift = 8 - recipe.bit_depth - static_cast<int>(bit % 8);
                    row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | (v << shift));
                }
                bit += static_cast<size_t>(recipe.bit_depth);
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& r : rows) {
        pointers.push_back(r.data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> make_jpeg(uint32_t width, uint32_t height, int components,
                               const std::function<uint8_t(uint32_t, uint32_t, int)>& pixel, int quality) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> line(size_t{width} * static_cast<size_t>(components));
    while (cinfo.next_scanline < height) {
        for (uint32_t x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                line[x * static_cast<size_t>(components) + static_cast<size_t>(c)] = pixel(x, cinfo.next_scanline, c);
            }
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::vector<uint8_t> make_icon(const std::vector<icon_entry>& entries, uint16_t type) {
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, type);
    put16(out, static_cast<uint32_t>(entries.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (const auto& e : entries) {
        out.push_back(e.width_byte);
        out.push_back(e.height_byte);
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<uint32_t>(e.data.size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(e.data.size());
    }
    for (const auto& e : entries) {
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

std::vector<uint8_t> make_icon_bitmap(uint32_t width, uint32_t height, uint16_t bits,
                                      const std::vector<uint32_t>& palette, const std::vector<uint8_t>& colour_rows,
                                      const std::vector<uint8_t>& mask_rows) {
    std::vector<uint8_t> out;
    put32(out, 40);
    put32(out, width);
    put32(out, height * 2);
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(palette.size()));
    put32(out, 0);
    for (uint32_t c : palette) {
        put32(out, c);
    }
    out.insert(out.end(), colour_rows.begin(), colour_rows.end());
    out.insert(out.end(), mask_rows.begin(), mask_rows.end());
    return out;
}

} // namespace zel::test
