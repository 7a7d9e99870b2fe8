#include "image/cx_image.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zel {

namespace {

// Cubic B-spline kernel.
float bspline(float t) {
    const auto p = [](float u) { return u > 0 ? u * u * u : 0.0f; };
    if (t > 2) {
        return 0;
    }
    return (p(t + 2) - 4 * p(t + 1) + 6 * p(t) - 4 * p(t - 1)) / 6;
}

double sinc(double x) {
    if (x == 0) {
        return 1;
    }
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

// Cubic convolution with parameter a (Keys).
double cubic_convolution(double t, double a) {
    t = std::fabs(t);
    if (t < 1) {
        return (a + 2) * t * t * t - (a + 3) * t * t + 1;
    }
    if (t < 2) {
        return a * t * t * t - 5 * a * t * t + 8 * a * t - 4 * a;
    }
    return 0;
}

// Mitchell-Netravali family with parameters b and c.
double mitchell(double t, double b, double c) {
    t = std::fabs(t);
    if (t < 1) {
        return ((12 - 9 * b - 6 * c) * t * t * t + (-18 + 12 * b + 6 * c) * t * t + (6 - 2 * b)) / 6;
    }
    if (t < 2) {
        return ((-b - 6 * c) * t * t * t + (6 * b + 30 * c) * t * t + (-12 * b - 48 * c) * t + (8 * b + 24 * c)) / 6;
    }
    return 0;
}

struct kernel {
    double radius;
    double (*weight)(double);
};

// Interpolation methods 3 to 18, each one kernel of the family.
const kernel kernels[16] = {
    {2, [](double t) { return double{bspline(static_cast<float>(std::fabs(t)))}; }},
    {2, [](double t) { return cubic_convolution(t, -0.5); }},
    {2, [](double t) { return cubic_convolution(t, -1.0); }},
    {3, [](double t) { return std::fabs(t) < 3 ? sinc(t) * sinc(t / 3) : 0.0; }},
    {0.5, [](double t) { return std::fabs(t) <= 0.5 ? 1.0 : 0.0; }},
    {1,
     [](double t) {
         t = std::fabs(t);
         return t < 1 ? (2 * t - 3) * t * t + 1 : 0.0;
     }},
    {3, [](double t) { return std::fabs(t) < 3 ? sinc(t) * (0.54 + 0.46 * std::cos(std::numbers::pi * t / 3)) : 0.0; }},
    {4, [](double t) { return std::fabs(t) < 4 ? sinc(t) : 0.0; }},
    {3,
     [](double t) {
         if (std::fabs(t) >= 3) {
             return 0.0;
         }
         const double w = std::numbers::pi * t / 3;
         return sinc(t) * (0.42 + 0.5 * std::cos(w) + 0.08 * std::cos(2 * w));
     }},
    {3.2383,
     [](double t) {
         t = std::fabs(t);
         if (t >= 3.2383) {
             return 0.0;
         }
         const double jinc = t == 0 ? std::numbers::pi / 4 : std::cyl_bessel_j(1.0, std::numbers::pi * t) / (2 * t);
         return jinc * sinc(t / 3.2383);
     }},
    {1.5, [](double t) { return std::fabs(t) < 1.5 ? std::exp(-2 * t * t) * std::sqrt(2 / std::numbers::pi) : 0.0; }},
    {1.5,
     [](double t) {
         t = std::fabs(t);
         if (t < 0.5) {
             return 0.75 - t * t;
         }
         return t < 1.5 ? 0.5 * (t - 1.5) * (t - 1.5) : 0.0;
     }},
    {2, [](double t) { return mitchell(t, 1.0 / 3, 1.0 / 3); }},
    {2, [](double t) { return mitchell(t, 0, 0.5); }},
    {3, [](double t) { return std::fabs(t) < 3 ? sinc(t) * (0.5 + 0.5 * std::cos(std::numbers::pi * t / 3)) : 0.0; }},
    {1, [](double t) { return std::max(0.0, 1 - std::fabs(t)); }},
};

uint8_t to_channel(float value) {
    if (!(value > 0)) {
        return 0;
    }
    return value >= 255 ? 255 : static_cast<uint8_t>(value + 0.5f);
}

cx_rgb_quad to_color(float blue, float green, float red, float alpha) {
    return cx_rgb_quad{to_channel(blue), to_channel(green), to_channel(red), to_channel(alpha)};
}

// A float coordinate as an index that stays defined whatever the value.
int32_t to_index(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(value, -1.0e9f, 1.0e9f));
}

} // namespace

void CxImage::add_weighted_color(const cx_rgb_quad& color, float weight, float& blue, float& green, float& red,
                                 float& alpha) {
    blue += color.blue * weight;
    green += color.green * weight;
    red += color.red * weight;
    alpha += color.alpha * weight;
}

bool CxImage::overflow_coords(int32_t& x, int32_t& y, int method) const {
    if (is_inside(x, y)) {
        return true;
    }
    const int32_t width = head_.width;
    const int32_t height = head_.height;
    if (width <= 0 || height <= 0) {
        return false;
    }
    switch (method) {
    case 4:
        x %= width;
        y %= height;
        x += x < 0 ? width : 0;
        y += y < 0 ? height : 0;
        return true;
    case 5:
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return true;
    case 6: {
        const auto mirror = [](int32_t c, int32_t size) {
            if (c < 0) {
                return static_cast<int32_t>((-static_cast<int64_t>(c)) % size);
            }
            return c >= size ? size - (c % size) - 1 : c;
        };
        x = mirror(x, width);
        y = mirror(y, height);
        return true;
    }
    default:
        return false;
    }
}

bool CxImage::overflow_coords_f(float& x, float& y, int method) const {
    const float width = static_cast<float>(head_.width);
    const float height = static_cast<float>(head_.height);
    if (x >= 0 && y >= 0 && x < width && y < height) {
        return true;
    }
    if (head_.width <= 0 || head_.height <= 0 || std::isnan(x) || std::isnan(y)) {
        return false;
    }
    switch (method) {
    case 4:
        x = std::fmod(x, width);
        y = std::fmod(y, height);
        x += x < 0 ? width : 0;
        y += y < 0 ? height : 0;
        break;
    case 5:
        x = std::clamp(x, 0.0f, width - 1);
        y = std::clamp(y, 0.0f, height - 1);
        break;
    case 6: {
        const auto mirror = [](float c, float size) {
            if (c < 0) {
                return std::fmod(-c, size);
            }
            return c >= size ? std::max(0.0f, size - std::fmod(c, size) - 1) : c;
        };
        x = mirror(x, width);
        y = mirror(y, height);
        break;
    }
    default:
        return false;
    }
    // Rounding may leave a value at the size itself.
    x = std::clamp(x, 0.0f, std::nextafter(width, 0.0f));
    y = std::clamp(y, 0.0f, std::nextafter(height, 0.0f));
    return true;
}

cx_rgb_quad CxImage::pixel_color_with_overflow(int32_t x, int32_t y, int overflow_method,
                                               const cx_rgb_quad* background) {
    if (block_ == nullptr) {
        return background != nullptr ? *background : cx_rgb_quad{};
    }
    if (!is_inside(x, y)) {
        switch (overflow_method) {
        case 4:
        case 5:
        case 6:
            overflow_coords(x, y, overflow_method);
            break;
        case 3:
            return get_transparent_color();
        default:
            return background != nullptr ? *background : cx_rgb_quad{};
        }
    }
    return get_pixel_color_unchecked(static_cast<uint32_t>(x), static_cast<uint32_t>(y), true);
}

cx_rgb_quad CxImage::interpolated_color(float x, float y, int interpolation_method, int overflow_method,
                                        const cx_rgb_quad* background) {
    if (!overflow_coords_f(x, y, overflow_method)) {
        return pixel_color_with_overflow(to_index(x), to_index(y), overflow_method, background);
    }
    if (interpolation_method == 1) {
        return pixel_color_with_overflow(to_index(x + 0.5f), to_index(y + 0.5f), overflow_method, background);
    }
    float blue = 0;
    float green = 0;
    float red = 0;
    float alpha = 0;
    if (interpolation_method >= 3 && interpolation_method <= 18) {
        const kernel& k = kernels[interpolation_method - 3];
        const int32_t x0 = to_index(std::floor(x - static_cast<float>(k.radius))) + 1;
        const int32_t y0 = to_index(std::floor(y - static_cast<float>(k.radius))) + 1;
        const int32_t x1 = to_index(std::floor(x + static_cast<float>(k.radius)));
        const int32_t y1 = to_index(std::floor(y + static_cast<float>(k.radius)));
        float total = 0;
        for (int32_t j = y0; j <= y1; ++j) {
            const double wy = k.weight(y - j);
            for (int32_t i = x0; i <= x1; ++i) {
                const auto w = static_cast<float>(wy * k.weight(x - i));
                if (w != 0) {
                    add_weighted_color(pixel_color_with_overflow(i, j, overflow_method, background), w, blue, green,
                                       red, alpha);
                    total += w;
                }
            }
        }
        if (total != 0) {
            return to_color(blue / total, green / total, red / total, alpha / total);
        }
        return pixel_color_with_overflow(to_index(x), to_index(y), overflow_method, background);
    }
    // Bilinear: the four neighbours weighted by the fractional parts.
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int32_t ix = to_index(fx);
    const int32_t iy = to_index(fy);
    const float dx = x - fx;
    const float dy = y - fy;
    add_weighted_color(pixel_color_with_overflow(ix, iy, overflow_method, background), (1 - dx) * (1 - dy), blue, green,
                       red, alpha);
    add_weighted_color(pixel_color_with_overflow(ix + 1, iy, overflow_method, background), dx * (1 - dy), blue, green,
                       red, alpha);
    add_weighted_color(pixel_color_with_overflow(ix, iy + 1, overflow_method, background), (1 - dx) * dy, blue, green,
                       red, alpha);
    add_weighted_color(pixel_color_with_overflow(ix + 1, iy + 1, overflow_method, background), dx * dy, blue, green,
                       red, alpha);
    return to_color(blue, green, red, alpha);
}

cx_rgb_quad CxImage::area_color(float x, float y, float area_width, float area_height, int interpolation_method,
                                int overflow_method, const cx_rgb_quad* background) {
    if (!(area_width > 1) && !(area_height > 1)) {
        return interpolated_color(x, y, interpolation_method, overflow_method, background);
    }
    const float right = x + area_width;
    const float bottom = y + area_height;
    float blue = 0;
    float green = 0;
    float red = 0;
    float alpha = 0;
    float total = 0;
    for (int32_t j = to_index(std::floor(y)); j < to_index(std::ceil(bottom)); ++j) {
        const float cover_y = std::min(bottom, j + 1.0f) - std::max(y, static_cast<float>(j));
        if (cover_y <= 0) {
            continue;
        }
        for (int32_t i = to_index(std::floor(x)); i < to_index(std::ceil(right)); ++i) {
            const float cover_x = std::min(right, i + 1.0f) - std::max(x, static_cast<float>(i));
            if (cover_x <= 0) {
                continue;
            }
            const float w = cover_x * cover_y;
            add_weighted_color(pixel_color_with_overflow(i, j, overflow_method, background), w, blue, green, red,
                               alpha);
            total += w;
        }
    }
    if (total <= 0) {
        return interpolated_color(x, y, interpolation_method, overflow_method, background);
    }
    return to_color(blue / total, green / total, red / total, alpha / total);
}

bool CxImage::rescale(int32_t new_width, int32_t new_height, int mode, CxImage* destination) {
    if (new_width <= 0 || new_height <= 0 || block_ == nullptr) {
        return false;
    }
    const uint32_t width = get_width();
    const uint32_t height = get_height();
    if (static_cast<uint32_t>(new_width) == width && static_cast<uint32_t>(new_height) == height) {
        if (destination != nullptr && destination != this) {
            destination->copy_from(*this, true, true, true);
        }
        return true;
    }
    const float fx = static_cast<float>(width) / static_cast<float>(new_width);
    const float fy = static_cast<float>(height) / static_cast<float>(new_height);
    // A sampled coordinate can reach the size through rounding: it is kept to the last column and row.
    const auto source_x = [&](uint32_t x) { return std::min(static_cast<uint32_t>(x * fx), width - 1); };
    const auto source_y = [&](uint32_t y) { return std::min(static_cast<uint32_t>(y * fy), height - 1); };

    CxImage temporary(CXIMAGE_FORMAT_UNKNOWN);
    temporary.copy_info(*this);
    if (temporary.Create(static_cast<uint32_t>(new_width), static_cast<uint32_t>(new_height), bits_per_pixel(),
                         image_type()) == nullptr) {
        set_last_error(temporary.last_error());
        return false;
    }
    if (palette_pointer() != nullptr) {
        temporary.set_palette(palette_pointer(), std::min<uint32_t>(head_.clr_used, 256));
    }
    const uint32_t out_width = temporary.get_width();
    const uint32_t out_height = temporary.get_height();
    const bool indexed = is_indexed();

    for (uint32_t y = 0; y < out_height; ++y) {
        info_.progress = static_cast<int32_t>(100 * uint64_t{y} / out_height);
        if (info_.cancel != 0) {
            break;
        }
        if (mode == 1) {
            const uint32_t sy = source_y(y);
            for (uint32_t x = 0; x < out_width; ++x) {
                const uint32_t sx = source_x(x);
                if (indexed) {
                    // The sampled index itself: mapping its colour back would merge entries of one colour.
                    temporary.set_pixel_index_unchecked(x, y, get_pixel_index_unchecked(sx, sy));
                } else {
                    const uint8_t* p = pixel_pointer_unchecked(sx, sy);
                    uint8_t* q = temporary.pixel_pointer_unchecked(x, y);
                    q[0] = p[0];
                    q[1] = p[1];
                    q[2] = p[2];
                }
            }
        } else if (mode == 2) {
            for (uint32_t x = 0; x < out_width; ++x) {
                const float px = x * fx - 0.5f;
                const float py = y * fy - 0.5f;
                const int32_t ix = static_cast<int32_t>(std::floor(px));
                const int32_t iy = static_cast<int32_t>(std::floor(py));
                const float dx = px - static_cast<float>(ix);
                const float dy = py - static_cast<float>(iy);
                float blue = 0;
                float green = 0;
                float red = 0;
                float alpha = 0;
                for (int m = -1; m <= 2; ++m) {
                    const float wy = bspline(std::fabs(static_cast<float>(m) - dy));
                    const int32_t sy = std::clamp(iy + m, 0, static_cast<int32_t>(height) - 1);
                    for (int n = -1; n <= 2; ++n) {
                        const float w = wy * bspline(std::fabs(static_cast<float>(n) - dx));
                        const int32_t sx = std::clamp(ix + n, 0, static_cast<int32_t>(width) - 1);
                        add_weighted_color(
                            get_pixel_color_unchecked(static_cast<uint32_t>(sx), static_cast<uint32_t>(sy), false), w,
                            blue, green, red, alpha);
                    }
                }
                temporary.set_pixel_color_unchecked(x, y, to_color(blue, green, red, 0));
            }
        } else if (fx < 1 || fy < 1 || bits_per_pixel() != 24) {
            for (uint32_t x = 0; x < out_width; ++x) {
                const float px = x * fx;
                const float py = y * fy;
                const uint32_t ix = std::min(static_cast<uint32_t>(px), width - 1);
                const uint32_t iy = std::min(static_cast<uint32_t>(py), height - 1);
                const uint32_t ix1 = std::min(ix + 1, width - 1);
                const uint32_t iy1 = std::min(iy + 1, height - 1);
                const float dx = px - static_cast<float>(ix);
                const float dy = py - static_cast<float>(iy);
                float blue = 0;
                float green = 0;
                float red = 0;
                float alpha = 0;
                add_weighted_color(get_pixel_color_unchecked(ix, iy, false), (1 - dx) * (1 - dy), blue, green, red,
                                   alpha);
                add_weighted_color(get_pixel_color_unchecked(ix1, iy, false), dx * (1 - dy), blue, green, red, alpha);
                add_weighted_color(get_pixel_color_unchecked(ix, iy1, false), (1 - dx) * dy, blue, green, red, alpha);
                add_weighted_color(get_pixel_color_unchecked(ix1, iy1, false), dx * dy, blue, green, red, alpha);
                temporary.set_pixel_color_unchecked(x, y, to_color(blue, green, red, 0));
            }
        } else {
            for (uint32_t x = 0; x < out_width; ++x) {
                temporary.set_pixel_color_unchecked(x, y, area_color(x * fx, y * fy, fx, fy, 2, 5));
            }
        }
    }
    if (alpha_ != nullptr && temporary.alpha_create()) {
        for (uint32_t y = 0; y < out_height; ++y) {
            const uint32_t sy = source_y(y);
            for (uint32_t x = 0; x < out_width; ++x) {
                temporary.alpha_[size_t{y} * out_width + x] = alpha_get_unchecked(source_x(x), sy);
            }
        }
    }
    CxImage* target = destination != nullptr ? destination : this;
    return target->take_over_from(temporary, true);
}

} // namespace zel
