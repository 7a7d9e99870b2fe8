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

namespace {

// Steps along the minor axis taken before step k of a Bresenham walk of `major` steps with `minor` steps on the
// other axis (minor <= major, k < major): the walk in closed form, so it can start anywhere. Half steps round
// towards the start. Both products stay below 2^64 for any pair of int coordinates.
std::uint64_t minor_steps(std::uint64_t k, std::uint64_t major, std::uint64_t minor) {
    const std::uint64_t product = k * minor;
    return product / major + (2 * (product % major) > major ? 1 : 0);
}

// The steps j (from, to) of a walk from start, one pixel each in direction dir, that land in [low, high).
void steps_inside(std::int64_t start, int dir, std::int64_t low, std::int64_t high, std::int64_t& from,
                  std::int64_t& to) {
    if (dir > 0) {
        from = low - start;
        to = high - start;
    } else {
        from = start - high + 1;
        to = start - low + 1;
    }
}

} // namespace

BOOL LineTo(HDC handle, int x1, int y1) {
    device_context* dc = dc_of(handle);
    if (!dc) {
        return FALSE;
    }
    const int x0 = dc->state.position.x;
    const int y0 = dc->state.position.y;
    dc->state.position = {x1, y1};
    surface* s = dc->target();
    const pen_object* pen = dc->state.pen;
    if (!s || !pen || pen->style == PS_NULL) {
        return TRUE;
    }
    const RECT clip = dc->clip_box();
    if (is_empty(clip)) {
        return TRUE;
    }
    const std::uint32_t pixel = colour_to_pixel(pen->colour);
    // Bresenham's line without its end point (left for the next segment). The walk is clipped to the clip box
    // before it starts: walking every pixel of a line with far-off ends could take billions of steps, and the
    // differences of far-apart ints overflow an int.
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t major_start = x_major ? x0 : y0;
    const std::int64_t minor_start = x_major ? y0 : x0;
    const std::int64_t major_delta = x_major ? dx : dy;
    const std::int64_t minor_delta = x_major ? dy : dx;
    const int major_dir = major_delta < 0 ? -1 : 1;
    const int minor_dir = minor_delta < 0 ? -1 : 1;
    const auto major = static_cast<std::uint64_t>(major_delta < 0 ? -major_delta : major_delta);
    const auto minor = static_cast<std::uint64_t>(minor_delta < 0 ? -minor_delta : minor_delta);
    if (major == 0) {
        return TRUE;
    }
    const std::int64_t major_low = x_major ? clip.left : clip.top;
    const std::int64_t major_high = x_major ? clip.right : clip.bottom;
    const std::int64_t minor_low = x_major ? clip.top : clip.left;
    const std::int64_t minor_high = x_major ? clip.bottom : clip.right;

    std::int64_t from = 0;
    std::int64_t to = 0;
    steps_inside(major_start, major_dir, major_low, major_high, from, to);
    std::uint64_t first = static_cast<std::uint64_t>(std::max<std::int64_t>(from, 0));
    std::uint64_t last = static_cast<std::uint64_t>(std::clamp<std::int64_t>(to, 0, static_cast<std::int64_t>(major)));
    if (first >= last) {
        return TRUE;
    }
    // The minor coordinate never goes back, so the steps inside the clip on that axis are one run too.
    steps_inside(minor_start, minor_dir, minor_low, minor_high, from, to);
    auto first_reaching = [&](std::int64_t minor_steps_wanted) {
        std::uint64_t low = first;
        std::uint64_t high = last;
        while (low < high) {
            const std::uint64_t mid = low + (high - low) / 2;
            if (static_cast<std::int64_t>(minor_steps(mid, major, minor)) >= minor_steps_wanted) {
                high = mid;
            } else {
                low = mid + 1;
            }
        }
        return low;
    };
    const std::uint64_t begin = first_reaching(from);
    const std::uint64_t end = first_reaching(to);
    for (std::uint64_t k = begin; k < end; ++k) {
        const std::int64_t a = major_start + major_dir * static_cast<std::int64_t>(k);
        const std::int64_t b = minor_start + minor_dir * static_cast<std::int64_t>(minor_steps(k, major, minor));
        s->set(static_cast<int>(x_major ? a : b), static_cast<int>(x_major ? b : a), pixel);
    }
    return TRUE;
}
