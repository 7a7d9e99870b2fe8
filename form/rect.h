// The rectangle of panels and controls, {x, y, width, height} in screen pixels, and the two tests that place
// the pen and the repaint on it.
#pragma once

namespace zel::form {

struct rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    friend bool operator==(const rect&, const rect&) = default;
};

// The pen rule of every control: the left and top edges lie outside, the right and bottom edges inside.
inline bool point_in_rect(const rect& r, int x, int y) {
    return x > r.x && x <= r.x + r.w && y > r.y && y <= r.y + r.h;
}

// Strict: rectangles that only touch edge to edge do not overlap.
inline bool rect_overlaps(const rect& a, const rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

} // namespace zel::form
