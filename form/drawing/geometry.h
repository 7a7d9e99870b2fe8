// The small value types of the drawing layer and the controls: an (x, y, w, h) rectangle, a point, a size and
// an (r, g, b) colour triple. Plain values, no invariants: a rectangle may be empty or negative.
#pragma once

#include <algorithm>

#include "platform/win_types.h"

namespace zel::form {

struct rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool operator==(const rect&) const = default;
    // GDI's form: right and bottom exclusive.
    RECT to_RECT() const {
        return RECT{x, y, x + w, y + h};
    }
};

// The part of a inside b (empty when they do not meet).
inline rect intersection(const rect& a, const rect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.w, b.x + b.w);
    const int bottom = std::min(a.y + a.h, b.y + b.h);
    return rect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

struct point {
    int x = 0;
    int y = 0;
    bool operator==(const point&) const = default;
};

struct size {
    int width = 0;
    int height = 0;
    bool operator==(const size&) const = default;
};

// Each channel 0-255.
struct rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const rgb&) const = default;
    COLORREF colorref() const {
        return static_cast<COLORREF>(r) | static_cast<COLORREF>(g) << 8 | static_cast<COLORREF>(b) << 16;
    }
    // As 0xRRGGBB, the form in which controls keep their colours, and back.
    constexpr unsigned rrggbb() const {
        return static_cast<unsigned>(r) << 16 | static_cast<unsigned>(g) << 8 | static_cast<unsigned>(b);
    }
    static rgb from_rrggbb(unsigned value) {
        return rgb{static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                   static_cast<int>(value & 0xFF)};
    }
};

} // namespace zel::form
