// A rectangle of pixels in memory: 32-bit (blue, green, red, unused; read as 0x00RRGGBB) or 24-bit (blue, green,
// red), rows top-down or bottom-up. Rows of 24-bit surfaces are padded to 4 bytes, as DIB sections are. Spans
// move pixels in and out as 0x00RRGGBB values whatever the layout; callers clip before calling.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/win_types.h"

namespace platform {

inline std::uint32_t colour_to_pixel(COLORREF c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF pixel_to_colour(std::uint32_t p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16;
}

class surface {
public:
    // Null when the size is not positive or the pixels would not fit the limits of one surface.
    static std::unique_ptr<surface> create(int width, int height, int bits_per_pixel, bool bottom_up);

    int width() const {
        return width_;
    }
    int height() const {
        return height_;
    }
    int bits_per_pixel() const {
        return bpp_;
    }
    // The buffer as a DIB section's user sees it: the bottom row first when bottom-up.
    void* bits() const {
        return storage_.get();
    }
    std::uint8_t* row(int y) const {
        return top_ + static_cast<std::ptrdiff_t>(y) * step_;
    }
    std::uint32_t* row32(int y) const {
        return reinterpret_cast<std::uint32_t*>(row(y));
    }
    RECT bounds() const {
        return {0, 0, width_, height_};
    }

    void fill(int y, int x0, int x1, std::uint32_t pixel);
    void read(int y, int x, int count, std::uint32_t* out) const;
    void write(int y, int x, int count, const std::uint32_t* in);
    std::uint32_t get(int x, int y) const;
    void set(int x, int y, std::uint32_t pixel);

private:
    surface() = default;

    int width_ = 0;
    int height_ = 0;
    int bpp_ = 32;
    std::ptrdiff_t step_ = 0;
    std::uint8_t* top_ = nullptr;
    std::unique_ptr<std::uint8_t[]> storage_;
};

// Rectangle helpers shared by the drawing code.
inline RECT intersect(const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
           a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.right <= r.left || r.bottom <= r.top) {
        return {0, 0, 0, 0};
    }
    return r;
}
inline bool is_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace platform
