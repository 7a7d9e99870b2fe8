// An 8-bit RGBA picture with straight alpha and the drawing primitives of the skin generator. Every shape is
// an inside test on a 4x4 grid of samples per pixel, in integer arithmetic (coordinates in eighths of a
// pixel), so the same calls always give the same pixels. Painting is source-over; clearing lowers the alpha by
// the coverage. Single-threaded; no locks.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace skin_tools {

// Eighths of a pixel: sample points of pixel x lie at 8x + 1, 3, 5, 7.
constexpr int sub = 8;
constexpr int px(int pixels) {
    return pixels * sub;
}

struct rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const rgba&) const = default;
};

// Linear mix of two colours, t of 0..den.
rgba mix(rgba from, rgba to, int t, int den);
rgba with_alpha(rgba colour, int alpha);

struct point {
    int x = 0, y = 0; // eighths of a pixel
};

// An inside test at a sample point (eighths of a pixel) and its bounding box in whole pixels.
struct shape {
    std::function<bool(int, int)> inside;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // pixels, x1/y1 exclusive
};

shape rect_shape(int x0, int y0, int x1, int y1);
// Radii per corner: top-left, top-right, bottom-right, bottom-left.
shape round_rect_shape(int x0, int y0, int x1, int y1, int r_tl, int r_tr, int r_br, int r_bl);
shape round_rect_shape(int x0, int y0, int x1, int y1, int r);
shape ellipse_shape(int cx, int cy, int rx, int ry);
shape ring_shape(int cx, int cy, int r_outer, int r_inner);
// Even-odd polygon.
shape polygon_shape(std::vector<point> points);
// A thick polyline; round ends and joins (every segment is a capsule).
shape stroke_shape(std::vector<point> points, int width);
shape union_of(std::vector<shape> parts);
shape minus(shape a, shape b);
shape intersect(shape a, shape b);

class skin_canvas {
public:
    skin_canvas(int width, int height);

    int width() const {
        return width_;
    }
    int height() const {
        return height_;
    }
    rgba at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }
    void set(int x, int y, rgba colour) {
        pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
    }
    const std::vector<rgba>& pixels() const {
        return pixels_;
    }

    // Source-over of colour at each pixel, weighted by the shape's coverage.
    void fill(const shape& s, rgba colour);
    // The same with a colour that depends on the pixel (gradients).
    void fill(const shape& s, const std::function<rgba(int, int)>& colour);
    // Lowers the alpha by the shape's coverage (cut-outs).
    void clear(const shape& s);
    // Source-over of another canvas placed at (x, y).
    void draw(const skin_canvas& other, int x, int y);
    // Pixels (x, y, w, h) as a new canvas.
    skin_canvas crop(int x, int y, int w, int h) const;
    // The alpha grown by radius pixels (a disc), as a coverage mask 0..255 per pixel.
    std::vector<std::uint8_t> grown_alpha(int radius) const;
    // Paints colour under the grown alpha of this canvas's own content: the glyph outline.
    void outline(int radius, rgba colour);
    bool any_translucent() const;

private:
    void blend(int x, int y, rgba colour, int coverage); // coverage 0..16

    int width_;
    int height_;
    std::vector<rgba> pixels_;
};

// Vertical gradient from top to bottom colour over rows y0..y1 (pixels).
std::function<rgba(int, int)> vertical_gradient(rgba top, rgba bottom, int y0, int y1);

} // namespace skin_tools
