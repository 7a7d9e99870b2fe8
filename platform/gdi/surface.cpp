#include "platform/gdi/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace platform {

namespace {
// One surface never exceeds this many bytes or this side: a corrupt header asking for more gets nothing.
constexpr std::int64_t max_bytes = 256 * 1024 * 1024;
constexpr int max_side = 32768;
} // namespace

std::unique_ptr<surface> surface::create(int width, int height, int bits_per_pixel, bool bottom_up) {
    if (width <= 0 || height <= 0 || width > max_side || height > max_side ||
        (bits_per_pixel != 24 && bits_per_pixel != 32)) {
        return nullptr;
    }
    const std::int64_t stride = (static_cast<std::int64_t>(width) * bits_per_pixel + 31) / 32 * 4;
    const std::int64_t bytes = stride * height;
    if (bytes > max_bytes) {
        return nullptr;
    }
    std::unique_ptr<surface> s(new surface);
    s->storage_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]());
    if (!s->storage_) {
        return nullptr;
    }
    s->width_ = width;
    s->height_ = height;
    s->bpp_ = bits_per_pixel;
    if (bottom_up) {
        s->top_ = s->storage_.get() + (height - 1) * stride;
        s->step_ = -stride;
    } else {
        s->top_ = s->storage_.get();
        s->step_ = stride;
    }
    return s;
}

void surface::fill(int y, int x0, int x1, std::uint32_t pixel) {
    if (bpp_ == 32) {
        std::fill(row32(y) + x0, row32(y) + x1, pixel);
        return;
    }
    std::uint8_t* p = row(y) + x0 * 3;
    for (int x = x0; x < x1; ++x, p += 3) {
        p[0] = static_cast<std::uint8_t>(pixel);
        p[1] = static_cast<std::uint8_t>(pixel >> 8);
        p[2] = static_cast<std::uint8_t>(pixel >> 16);
    }
}

void surface::read(int y, int x, int count, std::uint32_t* out) const {
    if (bpp_ == 32) {
        const std::uint32_t* p = row32(y) + x;
        for (int i = 0; i < count; ++i) {
            out[i] = p[i] & 0x00FFFFFF;
        }
        return;
    }
    const std::uint8_t* p = row(y) + x * 3;
    for (int i = 0; i < count; ++i, p += 3) {
        out[i] = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                 static_cast<std::uint32_t>(p[2]) << 16;
    }
}

void surface::write(int y, int x, int count, const std::uint32_t* in) {
    if (bpp_ == 32) {
        std::memmove(row32(y) + x, in, static_cast<std::size_t>(count) * 4);
        return;
    }
    std::uint8_t* p = row(y) + x * 3;
    for (int i = 0; i < count; ++i, p += 3) {
        p[0] = static_cast<std::uint8_t>(in[i]);
        p[1] = static_cast<std::uint8_t>(in[i] >> 8);
        p[2] = static_cast<std::uint8_t>(in[i] >> 16);
    }
}

std::uint32_t surface::get(int x, int y) const {
    std::uint32_t p;
    read(y, x, 1, &p);
    return p;
}

void surface::set(int x, int y, std::uint32_t pixel) {
    write(y, x, 1, &pixel);
}

} // namespace platform
