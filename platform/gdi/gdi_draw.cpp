// Fills, gradients, pixels and lines.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gdi/gdi_object.h"

using namespace platform;

int FillRect(HDC handle, const RECT* rect, HBRUSH brush_handle) {
    device_context* dc = dc_of(handle);
    auto* brush = gdi_registry::instance().find<brush_object>(brush_handle, gdi_kind::brush);
    if (!dc || !rect || !brush) {
        return 0;
    }
    surface* s = dc->target();
    const RECT r = intersect(*rect, dc->clip_box());
    if (brush->null || !s || is_empty(r)) {
        return 1;
    }
    const std::uint32_t pixel = colour_to_pixel(brush->colour);
    for (int y = r.top; y < r.bottom; ++y) {
        s->fill(y, r.left, r.right, pixel);
    }
    return 1;
}

namespace {

// The pinned rounding rule of GradientFill (see gdi.h): 16-bit channels, C++ division, then the high byte.
std::uint32_t gradient_pixel(const TRIVERTEX& a, const TRIVERTEX& b, std::int64_t i, std::int64_t n) {
    auto channel = [&](COLOR16 c0, COLOR16 c1) {
        const std::int64_t v = c0 + (static_cast<std::int64_t>(c1) - c0) * i / n;
        return static_cast<std::uint32_t>(v >> 8) & 0xFF;
    };
    return channel(a.Red, b.Red) << 16 | channel(a.Green, b.Green) << 8 | channel(a.Blue, b.Blue);
}

} // namespace

BOOL GradientFill(HDC handle, TRIVERTEX* vertices, ULONG vertex_count, void* mesh, ULONG mesh_count, ULONG mode) {
    device_context* dc = dc_of(handle);
    if (!dc || !vertices || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)) {
        return FALSE;
    }
    surface* s = dc->target();
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    const RECT clip = dc->clip_box();
    std::vector<std::uint32_t> row;
    for (ULONG m = 0; m < mesh_count; ++m) {
        if (rects[m].UpperLeft >= vertex_count || rects[m].LowerRight >= vertex_count) {
            return FALSE;
        }
        TRIVERTEX a = vertices[rects[m].UpperLeft];
        TRIVERTEX b = vertices[rects[m].LowerRight];
        // The first colour belongs to the vertex with the smaller coordinate along the gradient.
        const bool horizontal = mode == GRADIENT_FILL_RECT_H;
        if ((horizontal && a.x > b.x) || (!horizontal && a.y > b.y)) {
            std::swap(a, b);
        }
        const RECT area{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        const RECT r = intersect(area, clip);
        if (!s || is_empty(r)) {
            continue;
        }
        if (horizontal) {
            const std::int64_t n = area.right - area.left;
            row.resize(r.right - r.left);
            for (int x = r.left; x < r.right; ++x) {
                row[x - r.left] = gradient_pixel(a, b, x - area.left, n);
            }
            for (int y = r.top; y < r.bottom; ++y) {
                s->write(y, r.left, r.right - r.left, row.data());
            }
        } else {
            const std::int64_t n = area.bottom - area.top;
            for (int y = r.top; y < r.bottom; ++y) {
                s->fill(y, r.left, r.right, gradient_pixel(a, b, y - area.top, n));
            }
        }
    }
    return TRUE;
}

namespace {
bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
} // namespace

COLORREF SetPixel(HDC handle, int x, int y, COLORREF colour) {
    device_context* dc = dc_of(handle);
    if (!dc || !dc->target() || !inside(dc->clip_box(), x, y)) {
        return CLR_INVALID;
    }
    dc->target()->set(x, y, colour_to_pixel(colour));
    return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC handle, int x, int y) {
    device_context* dc = dc_of(handle);
    if (!dc || !dc->target() || !inside(dc->clip_box(), x, y)) {
        return CLR_INVALID;
    }
    return pixel_to_colour(dc->target()->get(x, y));
}

BOOL MoveToEx(HDC handle, int x, int y, POINT* previous) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return FALSE;
    }
    if (previous) {
        *previous = dc->state.position;
    }
    dc->state.position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC handle, int x1, int y1) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return FALSE;
    }
    int x = dc->state.position.x;
    int y = dc->state.position.y;
    dc->state.position = {x1, y1};
    surface* s = dc->target();
    const pen_object* pen = dc->state.pen;
    if (!s || !pen || pen->style == PS_NULL) {
        return TRUE;
    }
    const RECT clip = dc->clip_box();
    const std::uint32_t pixel = colour_to_pixel(pen->colour);
    // Bresenham's walk; the end point itself is left for the next segment.
    const int dx = std::abs(x1 - x), sx = x < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y), sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
        if (inside(clip, x, y)) {
            s->set(x, y, pixel);
        }
        const int e2 = 2 * err;
        if (e2 > dy) {
            err += dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
    return TRUE;
}
