#include "image/cx_image.h"

#include "platform/gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zel {

namespace {

// A 24-bit bottom-up DIB section of the drawn area, selected into a memory DC compatible with the target.
struct area_section {
    BITMAPINFO info{};
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint8_t* bits = nullptr;
    size_t stride = 0;

    area_section(HDC dc, int32_t width, int32_t height) {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        stride = (static_cast<size_t>(std::max(width, 0)) * 24 + 31) / 32 * 4;
        memory = CreateCompatibleDC(dc);
        void* pixels = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<uint8_t*>(pixels);
        if (memory != nullptr && bitmap != nullptr) {
            old = SelectObject(memory, bitmap);
        }
    }
    ~area_section() {
        if (memory != nullptr && old != nullptr) {
            SelectObject(memory, old);
        }
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        if (memory != nullptr) {
            DeleteDC(memory);
        }
    }
    area_section(const area_section&) = delete;
    area_section& operator=(const area_section&) = delete;

    bool usable() const {
        return bits != nullptr && memory != nullptr;
    }
};

// Restores the DC on every way out of a drawing call.
struct saved_dc {
    HDC dc;
    int depth;
    explicit saved_dc(HDC target) : dc(target), depth(SaveDC(target)) {}
    ~saved_dc() {
        if (depth != 0) {
            RestoreDC(dc, depth);
        }
    }
    saved_dc(const saved_dc&) = delete;
    saved_dc& operator=(const saved_dc&) = delete;
};

} // namespace

cx_rgb_quad CxImage::draw_sample(float column, float row, bool smooth, float fx, float fy, uint32_t& sx, uint32_t& sy) {
    // Floored, negatives to 0, and kept inside: rounding can carry a value to the size itself.
    sx = std::min(static_cast<uint32_t>(std::max(std::floor(column), 0.0f)), get_width() - 1);
    sy = std::min(static_cast<uint32_t>(std::max(std::floor(row), 0.0f)), get_height() - 1);
    if (!smooth) {
        return get_pixel_color_unchecked(sx, sy, false);
    }
    if (fx > 1 && fy > 1) {
        return area_color(column - 0.5f, row - 0.5f, fx, fy, 2, 5);
    }
    return interpolated_color(column - 0.5f, row - 0.5f, 2, 5);
}

bool CxImage::draw_to_dc(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, bool smooth) {
    if (block_ == nullptr || dc == nullptr || width == 0 || height == 0 || !info_.enabled) {
        return false;
    }
    const int32_t image_width = head_.width;
    const int32_t image_height = head_.height;
    width = width < 0 ? image_width : width;
    height = height < 0 ? image_height : height;
    saved_dc saved(dc);
    if (saved.depth == 0) {
        return false;
    }
    RECT clip{};
    GetClipBox(dc, &clip);
    const int64_t x_end = int64_t{x} + width;
    const int64_t y_end = int64_t{y} + height;
    const int32_t left = std::min(clip.right, std::max(clip.left, x));
    const int32_t top = std::min(clip.bottom, std::max(clip.top, y));
    const auto right = static_cast<int32_t>(std::max<int64_t>(clip.left, std::min<int64_t>(clip.right, x_end)));
    const auto bottom = static_cast<int32_t>(std::max<int64_t>(clip.top, std::min<int64_t>(clip.bottom, y_end)));
    const int32_t area_width = right - left;
    const int32_t area_height = bottom - top;
    const bool natural = width == image_width && height == image_height;
    const float fx = static_cast<float>(image_width) / static_cast<float>(width);
    const float fy = static_cast<float>(image_height) / static_cast<float>(height);
    smooth = smooth && !natural;
    const auto* block_info = reinterpret_cast<const BITMAPINFO*>(block_);

    const bool blend = info_.transparent_index >= 0 || alpha_ != nullptr || info_.palette_alpha;
    if (!blend && natural) {
        SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), info_.first_row, block_info, DIB_RGB_COLORS);
        return true;
    }

    area_section section(dc, area_width, area_height);
    if (!section.usable()) {
        return true;
    }
    if (blend) {
        BitBlt(section.memory, 0, 0, area_width, area_height, dc, left, top, SRCCOPY);
    }
    const cx_rgb_quad transparent_color = get_transparent_color();
    const int32_t transparent_index = info_.transparent_index;
    const bool indexed = head_.clr_used != 0;
    const uint32_t alpha_scale = uint32_t{info_.alpha_max} + 1;
    for (int32_t r = 0; r < area_height; ++r) {
        uint8_t* out = section.bits + static_cast<size_t>(r) * section.stride;
        // Source row value: natural size maps 1:1; scaled rows are sampled from the image's bottom up.
        const float row = natural ? static_cast<float>(image_height - (bottom - y) + r)
                                  : static_cast<float>(image_height) - static_cast<float>(bottom - y - r) * fy;
        for (int32_t c = 0; c < area_width; ++c, out += 3) {
            const float column = natural ? static_cast<float>(left - x + c) : static_cast<float>(left - x + c) * fx;
            uint32_t sx;
            uint32_t sy;
            cx_rgb_quad color = draw_sample(column, row, smooth, fx, fy, sx, sy);
            if (!blend) {
                out[0] = color.blue;
                out[1] = color.green;
                out[2] = color.red;
                continue;
            }
            uint32_t a = alpha_ != nullptr ? alpha_get_unchecked(sx, sy) : 255;
            a = (alpha_scale * a) >> 8;
            bool transparent;
            if (indexed) {
                const uint8_t index = get_pixel_index_unchecked(sx, sy);
                const cx_rgb_quad entry = get_palette_color(index);
                if (!smooth) {
                    color = entry;
                }
                if (info_.palette_alpha) {
                    a = ((uint32_t{entry.alpha} + 1) * a) >> 8;
                }
                transparent = index == transparent_index;
            } else {
                transparent = cx_rgb_quad{color.blue, color.green, color.red, 0} == transparent_color;
            }
            if ((transparent_index >= 0 && transparent) || a == 0) {
                continue;
            }
            if (a == 255) {
                out[0] = color.blue;
                out[1] = color.green;
                out[2] = color.red;
                continue;
            }
            out[0] = static_cast<uint8_t>(((255 - a) * out[0] + a * color.blue) >> 8);
            out[1] = static_cast<uint8_t>(((255 - a) * out[1] + a * color.green) >> 8);
            out[2] = static_cast<uint8_t>(((255 - a) * out[2] + a * color.red) >> 8);
        }
    }
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(area_width), static_cast<DWORD>(area_height), 0, 0, 0,
                      static_cast<UINT>(area_height), section.bits, &section.info, DIB_RGB_COLORS);
    return true;
}

bool CxImage::tile_to_dc(HDC dc, const RECT* rectangle) {
    if (block_ == nullptr || dc == nullptr || rectangle == nullptr) {
        return false;
    }
    const int64_t rect_width = int64_t{rectangle->right} - rectangle->left;
    const int64_t rect_height = int64_t{rectangle->bottom} - rectangle->top;
    if (rect_height <= 0) {
        return true;
    }
    // Clip while tiling, so the last column and row of tiles end at the rectangle's edges.
    saved_dc saved(dc);
    IntersectClipRect(dc, rectangle->left, rectangle->top, rectangle->right, rectangle->bottom);
    for (int64_t ty = 0; ty < rect_height; ty += head_.height) {
        for (int64_t tx = 0; tx < rect_width; tx += head_.width) {
            draw_to_dc(dc, static_cast<int32_t>(rectangle->left + tx), static_cast<int32_t>(rectangle->top + ty), -1,
                       -1, false);
        }
    }
    return true;
}

} // namespace zel
