#include "platform/window/frame_placement.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// The frame's pixel under offset d of a span of `shown` output pixels showing `size` frame pixels, as SDL's
// nearest-pixel scaling picks it (d x size / shown, rounded down).
std::int64_t frame_pixel(std::int64_t d, std::int64_t size, std::int64_t shown) {
    const std::int64_t scaled = d * size;
    return scaled >= 0 ? scaled / shown : -((-scaled + shown - 1) / shown);
}

} // namespace

frame_placement frame_placement::fit(int screen_width, int screen_height, int output_width, int output_height) {
    frame_placement p;
    p.screen_width_ = std::max(0, screen_width);
    p.screen_height_ = std::max(0, screen_height);
    if (p.screen_width_ == 0 || p.screen_height_ == 0 || output_width <= 0 || output_height <= 0) {
        return p;
    }
    const std::int64_t sw = p.screen_width_;
    const std::int64_t sh = p.screen_height_;
    std::int64_t w = output_width;
    std::int64_t h = output_height;
    if (sw * output_height > static_cast<std::int64_t>(output_width) * sh) {
        h = std::max<std::int64_t>(1, sh * output_width / sw); // bars above and below
    } else {
        w = std::max<std::int64_t>(1, sw * output_height / sh); // bars left and right
    }
    const auto left = static_cast<LONG>((output_width - w) / 2);
    const auto top = static_cast<LONG>((output_height - h) / 2);
    p.area_ = {left, top, left + static_cast<LONG>(w), top + static_cast<LONG>(h)};
    return p;
}

bool frame_placement::unscaled() const {
    return area_.right - area_.left == screen_width_ && area_.bottom - area_.top == screen_height_;
}

std::optional<POINT> frame_placement::to_screen(int x, int y) const {
    if (x < area_.left || x >= area_.right || y < area_.top || y >= area_.bottom) {
        return std::nullopt;
    }
    return to_screen_clamped(x, y);
}

POINT frame_placement::to_screen_clamped(int x, int y) const {
    const std::int64_t w = area_.right - area_.left;
    const std::int64_t h = area_.bottom - area_.top;
    if (w <= 0 || h <= 0) {
        return {0, 0};
    }
    const std::int64_t sx = frame_pixel(static_cast<std::int64_t>(x) - area_.left, screen_width_, w);
    const std::int64_t sy = frame_pixel(static_cast<std::int64_t>(y) - area_.top, screen_height_, h);
    return {static_cast<LONG>(std::clamp<std::int64_t>(sx, 0, screen_width_ - 1)),
            static_cast<LONG>(std::clamp<std::int64_t>(sy, 0, screen_height_ - 1))};
}

} // namespace platform
