#include "tools/skin/skin_canvas.h"

#include <algorithm>
#include <cstdlib>

namespace skin_tools {

namespace {

int floor_px(int v) {
    return v >= 0 ? v / sub : -((-v + sub - 1) / sub);
}
int ceil_px(int v) {
    return v >= 0 ? (v + sub - 1) / sub : -((-v) / sub);
}

std::uint8_t lerp8(int a, int b, int t, int den) {
    return static_cast<std::uint8_t>(a + ((b - a) * t + (b > a ? den / 2 : -den / 2)) / den);
}

} // namespace

rgba mix(rgba from, rgba to, int t, int den) {
    if (den <= 0) {
        return from;
    }
    t = std::clamp(t, 0, den);
    return {lerp8(from.r, to.r, t, den), lerp8(from.g, to.g, t, den), lerp8(from.b, to.b, t, den),
            lerp8(from.a, to.a, t, den)};
}

rgba with_alpha(rgba colour, int alpha) {
    colour.a = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
    return colour;
}

shape rect_shape(int x0, int y0, int x1, int y1) {
    return {[=](int x, int y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, floor_px(x0), floor_px(y0),
            ceil_px(x1), ceil_px(y1)};
}

shape round_rect_shape(int x0, int y0, int x1, int y1, int r_tl, int r_tr, int r_br, int r_bl) {
    auto corner = [](int x, int y, int cx, int cy, int r) {
        const std::int64_t dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= static_cast<std::int64_t>(r) * r;
    };
    return {[=](int x, int y) {
                if (x < x0 || x >= x1 || y < y0 || y >= y1) {
                    return false;
                }
                if (x < x0 + r_tl && y < y0 + r_tl) {
                    return corner(x, y, x0 + r_tl, y0 + r_tl, r_tl);
                }
                if (x >= x1 - r_tr && y < y0 + r_tr) {
                    return corner(x, y, x1 - r_tr, y0 + r_tr, r_tr);
                }
                if (x >= x1 - r_br && y >= y1 - r_br) {
                    return corner(x, y, x1 - r_br, y1 - r_br, r_br);
                }
                if (x < x0 + r_bl && y >= y1 - r_bl) {
                    return corner(x, y, x0 + r_bl, y1 - r_bl, r_bl);
                }
                return true;
            },
            floor_px(x0), floor_px(y0), ceil_px(x1), ceil_px(y1)};
}

shape round_rect_shape(int x0, int y0, int x1, int y1, int r) {
    return round_rect_shape(x0, y0, x1, y1, r, r, r, r);
}

shape ellipse_shape(int cx, int cy, int rx, int ry) {
    const std::int64_t rx2 = static_cast<std::int64_t>(rx) * rx, ry2 = static_cast<std::int64_t>(ry) * ry;
    return {[=](int x, int y) {
                const std::int64_t dx = x - cx, dy = y - cy;
                return dx * dx * ry2 + dy * dy * rx2 <= rx2 * ry2;
            },
            floor_px(cx - rx), floor_px(cy - ry), ceil_px(cx + rx), ceil_px(cy + ry)};
}

shape ring_shape(int cx, int cy, int r_outer, int r_inner) {
    return minus(ellipse_shape(cx, cy, r_outer, r_outer), ellipse_shape(cx, cy, r_inner, r_inner));
}

shape polygon_shape(std::vector<point> points) {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
    for (const point& p : points) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    return {[points = std::move(points)](int x, int y) {
                bool in = false;
                for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                    const point a = points[j], b = points[i];
                    if ((a.y > y) == (b.y > y)) {
                        continue;
                    }
                    const std::int64_t side = static_cast<std::int64_t>(x - a.x) * (b.y - a.y) -
                                              static_cast<std::int64_t>(y - a.y) * (b.x - a.x);
                    if (b.y > a.y ? side < 0 : side > 0) {
                        in = !in;
                    }
                }
                return in;
            },
            floor_px(x0), floor_px(y0), ceil_px(x1), ceil_px(y1)};
}

shape stroke_shape(std::vector<point> points, int width) {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
    for (const point& p : points) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    const int half = (width + 1) / 2;
    const std::int64_t w2 = static_cast<std::int64_t>(width) * width;
    return {[points = std::move(points), w2](int x, int y) {
                for (std::size_t i = 0; i < points.size(); ++i) {
                    const point a = points[i];
                    const point b = i + 1 < points.size() ? points[i + 1] : a;
                    const std::int64_t dx = b.x - a.x, dy = b.y - a.y, px_ = x - a.x, py_ = y - a.y;
                    const std::int64_t t = px_ * dx + py_ * dy, len = dx * dx + dy * dy;
                    std::int64_t d4;
                    if (len == 0 || t <= 0) {
                        d4 = 4 * (px_ * px_ + py_ * py_);
                        if (d4 <= w2) {
                            return true;
                        }
                        continue;
                    }
                    if (t >= len) {
                        const std::int64_t qx = x - b.x, qy = y - b.y;
                        if (4 * (qx * qx + qy * qy) <= w2) {
                            return true;
                        }
                        continue;
                    }
                    const std::int64_t cross = px_ * dy - py_ * dx;
                    if (4 * cross * cross <= w2 * len) {
                        return true;
                    }
                }
                return false;
            },
            floor_px(x0 - half), floor_px(y0 - half), ceil_px(x1 + half), ceil_px(y1 + half)};
}

shape union_of(std::vector<shape> parts) {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
    for (const shape& s : parts) {
        x0 = std::min(x0, s.x0), y0 = std::min(y0, s.y0), x1 = std::max(x1, s.x1), y1 = std::max(y1, s.y1);
    }
    return {[parts = std::move(parts)](int x, int y) {
                return std::any_of(parts.begin(), parts.end(), [&](const shape& s) { return s.inside(x, y); });
            },
            x0, y0, x1, y1};
}

shape minus(shape a, shape b) {
    const int x0 = a.x0, y0 = a.y0, x1 = a.x1, y1 = a.y1;
    return {[a = std::move(a), b = std::move(b)](int x, int y) { return a.inside(x, y) && !b.inside(x, y); }, x0,
            y0, x1, y1};
}

shape intersect(shape a, shape b) {
    const int x0 = std::max(a.x0, b.x0), y0 = std::max(a.y0, b.y0), x1 = std::min(a.x1, b.x1),
              y1 = std::min(a.y1, b.y1);
    return {[a = std::move(a), b = std::move(b)](int x, int y) { return a.inside(x, y) && b.inside(x, y); }, x0,
            y0, x1, y1};
}

std::function<rgba(int, int)> vertical_gradient(rgba top, rgba bottom, int y0, int y1) {
    return [=](int, int y) { return mix(top, bottom, y - y0, std::max(1, y1 - 1 - y0)); };
}

skin_canvas::skin_canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, rgba{0, 0, 0, 0}) {}

void skin_canvas::blend(int x, int y, rgba colour, int coverage) {
    const int sa = (colour.a * coverage + 8) / 16;
    if (sa == 0) {
        return;
    }
    rgba& d = pixels_[static_cast<std::size_t>(y) * width_ + x];
    const int da = d.a * (255 - sa);                        // scaled by 255
    const int oa255 = sa * 255 + da;                        // out alpha scaled by 255
    auto channel = [&](int s, int dc) {
        return static_cast<std::uint8_t>((s * sa * 255 + dc * da + oa255 / 2) / oa255);
    };
    d = {channel(colour.r, d.r), channel(colour.g, d.g), channel(colour.b, d.b),
         static_cast<std::uint8_t>((oa255 + 127) / 255)};
}

namespace {

int coverage_at(const shape& s, int x, int y) {
    int count = 0;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            count += s.inside(x * sub + 1 + 2 * i, y * sub + 1 + 2 * j) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

void skin_canvas::fill(const shape& s, rgba colour) {
    fill(s, [colour](int, int) { return colour; });
}

void skin_canvas::fill(const shape& s, const std::function<rgba(int, int)>& colour) {
    for (int y = std::max(0, s.y0); y < std::min(height_, s.y1); ++y) {
        for (int x = std::max(0, s.x0); x < std::min(width_, s.x1); ++x) {
            if (const int c = coverage_at(s, x, y)) {
                blend(x, y, colour(x, y), c);
            }
        }
    }
}

void skin_canvas::clear(const shape& s) {
    for (int y = std::max(0, s.y0); y < std::min(height_, s.y1); ++y) {
        for (int x = std::max(0, s.x0); x < std::min(width_, s.x1); ++x) {
            if (const int c = coverage_at(s, x, y)) {
                rgba& d = pixels_[static_cast<std::size_t>(y) * width_ + x];
                d.a = static_cast<std::uint8_t>((d.a * (16 - c) + 8) / 16);
                if (d.a == 0) {
                    d = {0, 0, 0, 0};
                }
            }
        }
    }
}

void skin_canvas::draw(const skin_canvas& other, int x, int y) {
    for (int j = 0; j < other.height_; ++j) {
        for (int i = 0; i < other.width_; ++i) {
            const int tx = x + i, ty = y + j;
            if (tx >= 0 && ty >= 0 && tx < width_ && ty < height_) {
                blend(tx, ty, other.at(i, j), 16);
            }
        }
    }
}

skin_canvas skin_canvas::crop(int x, int y, int w, int h) const {
    skin_canvas out(w, h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            out.set(i, j, at(x + i, y + j));
        }
    }
    return out;
}

std::vector<std::uint8_t> skin_canvas::grown_alpha(int radius) const {
    std::vector<std::uint8_t> out(pixels_.size(), 0);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            int best = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (dx * dx + dy * dy > radius * radius + radius || sx < 0 || sy < 0 || sx >= width_ ||
                        sy >= height_) {
                        continue;
                    }
                    best = std::max<int>(best, at(sx, sy).a);
                }
            }
            out[static_cast<std::size_t>(y) * width_ + x] = static_cast<std::uint8_t>(best);
        }
    }
    return out;
}

void skin_canvas::outline(int radius, rgba colour) {
    const std::vector<std::uint8_t> grown = grown_alpha(radius);
    skin_canvas under(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const int g = grown[static_cast<std::size_t>(y) * width_ + x];
            under.set(x, y, g ? with_alpha(colour, (colour.a * g + 127) / 255) : rgba{0, 0, 0, 0});
        }
    }
    under.draw(*this, 0, 0);
    pixels_ = std::move(under.pixels_);
}

bool skin_canvas::any_translucent() const {
    return std::any_of(pixels_.begin(), pixels_.end(), [](const rgba& p) { return p.a < 255; });
}

} // namespace skin_tools
