// Pixel transfers between surfaces (BitBlt) and from caller-held DIBs (SetDIBitsToDevice).
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi_object.h"

using namespace platform;

BOOL BitBlt(HDC dst_handle, int x, int y, int width, int height, HDC src_handle, int src_x, int src_y, DWORD rop) {
    device_context* dst = dc_of(dst_handle);
    device_context* src = dc_of(src_handle);
    if (!dst || !src || rop != SRCCOPY) {
        return FALSE;
    }
    surface* d = dst->target();
    surface* s = src->target();
    if (!d || !s) {
        return FALSE;
    }
    if (width <= 0 || height <= 0) {
        return TRUE;
    }
    // Destination area cut by the clip box, then by what the source surface holds.
    RECT r = intersect({x, y, x + width, y + height}, dst->clip_box());
    const int ox = src_x - x, oy = src_y - y;
    const RECT from = intersect({r.left + ox, r.top + oy, r.right + ox, r.bottom + oy}, s->bounds());
    r = {from.left - ox, from.top - oy, from.right - ox, from.bottom - oy};
    if (is_empty(from)) {
        return TRUE;
    }
    const int n = r.right - r.left;
    // Rows run upwards when copying down within one surface, so no source row is overwritten before it is read.
    const bool upwards = d == s && oy < 0;
    const int first = upwards ? r.bottom - 1 : r.top;
    const int step = upwards ? -1 : 1;
    if (d->bits_per_pixel() == 32 && s->bits_per_pixel() == 32) {
        for (int i = 0, yy = first; i < r.bottom - r.top; ++i, yy += step) {
            std::memmove(d->row32(yy) + r.left, s->row32(yy + oy) + r.left + ox, static_cast<std::size_t>(n) * 4);
        }
        return TRUE;
    }
    std::vector<std::uint32_t> row(n);
    for (int i = 0, yy = first; i < r.bottom - r.top; ++i, yy += step) {
        s->read(yy + oy, r.left + ox, n, row.data());
        d->write(yy, r.left, n, row.data());
    }
    return TRUE;
}

namespace {

// Decodes columns [c0, c0 + n) of one DIB row into 0x00RRGGBB pixels.
void decode_row(const std::uint8_t* row, int bpp, const std::uint32_t* palette, int c0, int n, std::uint32_t* out) {
    switch (bpp) {
    case 32:
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* p = row + (c0 + i) * 4;
            out[i] = p[0] | p[1] << 8 | p[2] << 16;
        }
        break;
    case 24:
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* p = row + (c0 + i) * 3;
            out[i] = p[0] | p[1] << 8 | p[2] << 16;
        }
        break;
    default: {
        const int per_byte = 8 / bpp;
        const unsigned mask = (1u << bpp) - 1;
        for (int i = 0; i < n; ++i) {
            const int c = c0 + i;
            const int shift = 8 - bpp * (c % per_byte + 1);
            out[i] = palette[(row[c / per_byte] >> shift) & mask];
        }
    }
    }
}

} // namespace

int SetDIBitsToDevice(HDC handle, int x, int y, DWORD width, DWORD height, int src_x, int src_y, UINT first_scan,
                      UINT scan_count, const void* bits, const BITMAPINFO* info, UINT usage) {
    device_context* dc = dc_of(handle);
    if (!dc || !bits || !info || usage != DIB_RGB_COLORS) {
        return 0;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) {
        return 0;
    }
    const std::int64_t dib_w = h.biWidth;
    const std::int64_t dib_h = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
    const bool bottom_up = h.biHeight > 0;
    const std::int64_t stride = (dib_w * bpp + 31) / 32 * 4;

    std::uint32_t palette[256] = {};
    if (bpp <= 8) {
        const unsigned full = 1u << bpp;
        const unsigned used = h.biClrUsed == 0 || h.biClrUsed > full ? full : h.biClrUsed;
        const auto* entries = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + h.biSize);
        for (unsigned i = 0; i < used; ++i) {
            palette[i] = entries[i].rgbBlue | entries[i].rgbGreen << 8 | entries[i].rgbRed << 16;
        }
    }

    surface* s = dc->target();
    if (!s) {
        return static_cast<int>(scan_count);
    }
    const std::int64_t w = std::min<std::int64_t>(width, INT32_MAX / 2);
    const std::int64_t hh = std::min<std::int64_t>(height, INT32_MAX / 2);
    const RECT clip = dc->clip_box();
    // Destination columns whose source column lies inside the DIB.
    const std::int64_t left = std::max<std::int64_t>({clip.left, x, x - std::int64_t{src_x}});
    const std::int64_t right = std::min<std::int64_t>({clip.right, x + w, x - std::int64_t{src_x} + dib_w});
    if (left >= right) {
        return static_cast<int>(scan_count);
    }
    const int n = static_cast<int>(right - left);
    const int c0 = static_cast<int>(left - x + src_x);
    std::vector<std::uint32_t> row(n);
    const auto* base = static_cast<const std::uint8_t*>(bits);
    const std::int64_t top = std::max<std::int64_t>(clip.top, y);
    const std::int64_t bottom = std::min<std::int64_t>(clip.bottom, y + hh);
    for (std::int64_t yy = top; yy < bottom; ++yy) {
        const std::int64_t j = yy - y;
        // Source row: counted from the bottom for bottom-up DIBs, from the top for top-down ones.
        const std::int64_t r = bottom_up ? src_y + (hh - 1 - j) : src_y + j;
        if (r < 0 || r >= dib_h || r < first_scan || r >= std::int64_t{first_scan} + scan_count) {
            continue;
        }
        decode_row(base + (r - first_scan) * stride, bpp, palette, c0, n, row.data());
        s->write(static_cast<int>(yy), static_cast<int>(left), n, row.data());
    }
    return static_cast<int>(scan_count);
}
