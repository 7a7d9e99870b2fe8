#include "image/png/png_image.h"

#include "image/image_stream.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zel {

namespace {

void png_read_callback(png_structp png, png_bytep buffer, size_t length) {
    auto* stream = static_cast<image_stream*>(png_get_io_ptr(png));
    if (stream == nullptr || stream->read(buffer, 1, length) != length) {
        png_error(png, "Read Error");
    }
}

void png_error_callback(png_structp png, png_const_charp message) {
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    // An empty message (a cancelled decode) keeps the text that is already there.
    if (text != nullptr && message != nullptr && message[0] != 0) {
        std::snprintf(text, 256, "%s", message);
    }
    png_longjmp(png, 1);
}

void png_warning_callback(png_structp, png_const_charp) {}

// libpng leaves the bits after a row's last pixel as the row buffer held them, and the DIB row may be longer
// still: cleared, a decoded row depends on the file alone and not on what the memory held before.
void clear_row_tail(uint8_t* row, size_t used_bits, size_t row_bytes) {
    const size_t full = used_bits / 8;
    if (full >= row_bytes) {
        return;
    }
    size_t from = full;
    if (const size_t partial = used_bits % 8; partial != 0) {
        row[full] = static_cast<uint8_t>(row[full] & (0xFF00u >> partial));
        ++from;
    }
    std::memset(row + from, 0, row_bytes - from);
}

} // namespace

bool png_image::decode(image_stream* stream) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, info_.last_error, png_error_callback, png_warning_callback);
    if (png == nullptr) {
        set_last_error("Failed to create PNG structure");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        set_last_error("Failed to initialize PNG info structure");
        return false;
    }
    read_state state{stream, nullptr, false};
    const bool ok = read_with_jump(png, info, &state);
    std::free(state.row);
    png_destroy_read_struct(&png, &info, nullptr);
    // Reading only the header succeeds once the header has been read.
    return ok || (info_.cancel == -1 && info_.type == CXIMAGE_FORMAT_PNG && state.header_read);
}

bool png_image::read_with_jump(png_structp png, png_infop info, read_state* state) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    return read_image(png, info, state);
}

bool png_image::read_image(png_structp png, png_infop info, read_state* state) {
    png_set_read_fn(png, state->stream, png_read_callback);
    png_set_user_limits(png, cximage_max_side, cximage_max_side);
    png_read_info(png, info);

    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    const int color_type = png_get_color_type(png, info);
    const int bit_depth = png_get_bit_depth(png, info);
    if (info_.cancel == -1) {
        head_.width = static_cast<int32_t>(width);
        head_.height = static_cast<int32_t>(height);
        info_.type = CXIMAGE_FORMAT_PNG;
        state->header_read = true;
        return true;
    }

    int channels;
    switch (color_type) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        channels = 1;
        break;
    case PNG_COLOR_TYPE_RGB:
        channels = 3;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        channels = 2;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        channels = 4;
        break;
    default:
        set_last_error("unknown PNG color type");
        return false;
    }
    const int pixel_depth = bit_depth * channels;
    const uint32_t bits = channels == 1 ? static_cast<uint32_t>(std::min(pixel_depth, 8)) : channels == 2 ? 8 : 24;
    if (Create(width, height, bits, CXIMAGE_FORMAT_PNG) == nullptr) {
        return false;
    }
    read_resolution(png, info);
    read_palette_and_transparency(png, info, color_type, bit_depth);
    if (channels == 2 || channels == 4) {
        if (!alpha_create()) {
            set_last_error("CxImage::Create can't allocate memory");
            return false;
        }
    }
    if (color_type & PNG_COLOR_MASK_COLOR) {
        png_set_bgr(png);
    }
    if (info_.cancel != 0) {
        return false;
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    state->row = static_cast<uint8_t*>(std::calloc(1, png_get_rowbytes(png, info) + 8));
    if (state->row == nullptr) {
        set_last_error("CxImage::Create can't allocate memory");
        return false;
    }
    set_codec_option(png_get_interlace_type(png, info) == PNG_INTERLACE_NONE ? 0 : 1, CXIMAGE_FORMAT_PNG);
    read_rows(png, info, state, passes, bit_depth);
    png_read_end(png, nullptr);
    return true;
}

void png_image::read_resolution(png_structp png, png_infop info) {
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    png_get_pHYs(png, info, &x, &y, &unit);
    if (unit == PNG_RESOLUTION_UNKNOWN) {
        set_dpi_x(static_cast<int32_t>(std::min<png_uint_32>(x, INT32_MAX)));
        set_dpi_y(static_cast<int32_t>(std::min<png_uint_32>(y, INT32_MAX)));
    } else if (unit == PNG_RESOLUTION_METER) {
        set_dpi_x(static_cast<int32_t>(std::floor(x * 0.0254 + 0.5)));
        set_dpi_y(static_cast<int32_t>(std::floor(y * 0.0254 + 0.5)));
    }
}

void png_image::read_palette_and_transparency(png_structp png, png_infop info, int color_type, int bit_depth) {
    png_colorp palette = nullptr;
    int palette_count = 0;
    if (png_get_PLTE(png, info, &palette, &palette_count) && palette_count > 0) {
        const uint32_t n = std::min(static_cast<uint32_t>(palette_count), head_.clr_used);
        for (uint32_t i = 0; i < n; ++i) {
            set_palette_color(i, palette[i].red, palette[i].green, palette[i].blue);
        }
        set_important_colors(static_cast<uint32_t>(palette_count));
    } else if (bit_depth == 2) {
        const uint8_t levels[4] = {0, 85, 170, 255};
        for (uint32_t i = 0; i < 4; ++i) {
            set_palette_color(i, levels[i], levels[i], levels[i]);
        }
    } else {
        set_gray_palette();
    }

    png_bytep trans_alpha = nullptr;
    int trans_count = 0;
    png_color_16p trans_color = nullptr;
    if (!png_get_tRNS(png, info, &trans_alpha, &trans_count, &trans_color)) {
        return;
    }
    const int shift = bit_depth == 16 ? 8 : 0;
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        // Every tRNS entry is the alpha of its palette entry; one entry does not make index 0 fully
        // transparent whatever alpha it gives.
        if (trans_alpha == nullptr || trans_count <= 0) {
            return;
        }
        cx_rgb_quad* entries = palette_pointer();
        const uint32_t covered = std::min(static_cast<uint32_t>(trans_count), head_.clr_used);
        for (uint32_t i = 0; i < head_.clr_used; ++i) {
            entries[i].alpha = i < covered ? trans_alpha[i] : 255;
        }
        info_.palette_alpha = true;
        info_.last_valid = false;
        return;
    }
    if (trans_color == nullptr) {
        return;
    }
    if (trans_count == 1) {
        set_transparent_index(trans_color->gray >> shift);
    }
    if (color_type == PNG_COLOR_TYPE_RGB) {
        set_transparent_color(cx_rgb_quad{static_cast<uint8_t>(trans_color->blue >> shift),
                                          static_cast<uint8_t>(trans_color->green >> shift),
                                          static_cast<uint8_t>(trans_color->red >> shift), 0});
        info_.transparent_index = 0;
    }
}

void png_image::read_rows(png_structp png, png_infop info, read_state* state, int passes, int bit_depth) {
    uint8_t* buffer = state->row;
    const size_t png_row = png_get_rowbytes(png, info);
    const int channels = png_get_channels(png, info);
    const size_t channel_bytes = static_cast<size_t>(bit_depth / 8);
    const size_t pixel_bytes = static_cast<size_t>(bit_depth * channels / 8);
    const uint32_t width = get_width();
    const uint32_t height = get_height();
    const size_t copy = std::min(png_row, size_t{row_bytes()});
    const size_t samples = size_t{width} * static_cast<size_t>(channels);
    const size_t used_bits = size_t{width} * bits_per_pixel();

    for (int pass = 0; pass < passes; ++pass) {
        const bool rebuild = pass > 0;
        for (uint32_t row = 0; row < height; ++row) {
            if (info_.cancel != 0) {
                png_error(png, "");
            }
            const uint32_t y = height - 1 - row;
            uint8_t* dst = row_bits(y);
            if (alpha_ != nullptr) {
                uint8_t* alpha_row = alpha_ + size_t{y} * width;
                const bool rgb = channels == 4;
                if (rebuild) {
                    for (size_t x = 0; x < width; ++x) {
                        uint8_t* p = buffer + x * pixel_bytes;
                        if (rgb) {
                            p[0] = dst[3 * x];
                            p[channel_bytes] = dst[3 * x + 1];
                            p[2 * channel_bytes] = dst[3 * x + 2];
                            p[3 * channel_bytes] = alpha_row[x];
                        } else {
                            p[0] = dst[x];
                            p[channel_bytes] = alpha_row[x];
                        }
                    }
                }
                png_read_row(png, buffer, nullptr);
                for (size_t x = 0; x < width; ++x) {
                    const uint8_t* p = buffer + x * pixel_bytes;
                    if (rgb) {
                        dst[3 * x] = p[0];
                        dst[3 * x + 1] = p[channel_bytes];
                        dst[3 * x + 2] = p[2 * channel_bytes];
                        alpha_row[x] = p[3 * channel_bytes];
                    } else {
                        dst[x] = p[0];
                        alpha_row[x] = p[channel_bytes];
                    }
                }
                if (pass == passes - 1) {
                    clear_row_tail(dst, used_bits, row_bytes());
                }
                continue;
            }
            if (rebuild) {
                std::memcpy(buffer, dst, copy);
                if (bit_depth == 16) {
                    for (size_t i = samples; i-- > 0;) {
                        buffer[i * 2] = buffer[i];
                    }
                }
            }
            png_read_row(png, buffer, nullptr);
            if (bit_depth == 16) {
                for (size_t i = 0; i < samples; ++i) {
                    buffer[i] = buffer[i * 2];
                }
            }
            std::memcpy(dst, buffer, copy);
            if (bit_depth == 2 && pass == passes - 1) {
                for (size_t x = width; x-- > 0;) {
                    const int value = (dst[x / 4] >> ((3 - x % 4) * 2)) & 3;
                    const int shift = static_cast<int>(1 - x % 2) * 4;
                    dst[x / 2] = static_cast<uint8_t>((dst[x / 2] & ~(0x0F << shift)) | (value << shift));
                }
            }
            if (pass == passes - 1) {
                clear_row_tail(dst, used_bits, row_bytes());
            }
        }
    }
}

} // namespace zel
