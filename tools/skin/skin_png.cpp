#include "tools/skin/skin_png.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace skin_tools {

namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flush(png_structp) {}

struct reader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at;
};

void take(png_structp png, png_bytep data, png_size_t length) {
    auto* in = static_cast<reader*>(png_get_io_ptr(png));
    if (in->at + length > in->bytes->size()) {
        png_error(png, "truncated");
    }
    std::memcpy(data, in->bytes->data() + in->at, length);
    in->at += length;
}

} // namespace

std::vector<std::uint8_t> encode_png(const skin_canvas& canvas, bool alpha) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng: out of memory");
    }
    const int channels = alpha ? 4 : 3;
    std::vector<png_byte> row(static_cast<std::size_t>(canvas.width()) * channels);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng: cannot encode");
    }
    png_set_write_fn(png, &out, append, flush);
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH);
    png_set_IHDR(png, info, canvas.width(), canvas.height(), 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const rgba p = canvas.at(x, y);
            png_byte* d = &row[static_cast<std::size_t>(x) * channels];
            d[0] = p.r, d[1] = p.g, d[2] = p.b;
            if (alpha) {
                d[3] = p.a;
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

skin_canvas decode_png(const std::vector<std::uint8_t>& bytes, bool& alpha) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw std::runtime_error("libpng: out of memory");
    }
    reader in{&bytes, 0};
    skin_canvas* volatile result = nullptr; // volatile: read again after a longjmp
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        delete result;
        throw std::runtime_error("not a PNG of the skin");
    }
    png_set_read_fn(png, &in, take);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 || (type != PNG_COLOR_TYPE_RGB && type != PNG_COLOR_TYPE_RGB_ALPHA) ||
        png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) {
        png_error(png, "not 8-bit RGB or RGBA");
    }
    alpha = type == PNG_COLOR_TYPE_RGB_ALPHA;
    const int w = static_cast<int>(png_get_image_width(png, info)), h = static_cast<int>(png_get_image_height(png, info));
    const int channels = alpha ? 4 : 3;
    result = new skin_canvas(w, h);
    std::vector<png_byte> row(static_cast<std::size_t>(w) * channels);
    for (int y = 0; y < h; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < w; ++x) {
            const png_byte* s = &row[static_cast<std::size_t>(x) * channels];
            result->set(x, y, {s[0], s[1], s[2], alpha ? s[3] : png_byte(255)});
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    skin_canvas out = std::move(*static_cast<skin_canvas*>(result));
    delete result;
    return out;
}

std::string pixel_digest(const skin_canvas& canvas, bool alpha) {
    std::uint64_t hash = 14695981039346656037ull;
    auto mixin = [&](std::uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (const rgba& p : canvas.pixels()) {
        mixin(p.r), mixin(p.g), mixin(p.b);
        if (alpha) {
            mixin(p.a);
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace skin_tools
