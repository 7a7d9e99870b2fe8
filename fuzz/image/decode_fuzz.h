// Decodes the input as one image type and, on success, reads and resamples the result, so that the
// decoder's output (sizes, planes, palette) is checked by its users as well.
#pragma once

#include "fuzz/image/fuzz_setup.h"
#include "image/cx_image.h"
#include "image/image_memory_stream.h"

#include <cstdlib>

namespace zel::fuzz {

inline void decode_and_use(const uint8_t* data, size_t size, uint32_t type, int32_t cancel = 0) {
    quiet_logger();
    image_memory_stream stream(data, size);
    CxImage image(type);
    image.set_cancel(cancel);
    if (!image.Decode(&stream, type) || !image.is_valid()) {
        return;
    }
    const uint32_t width = image.get_width();
    const uint32_t height = image.get_height();
    if (width == 0 || height == 0 || width > cximage_max_side || height > cximage_max_side) {
        std::abort();
    }
    volatile uint32_t sink = image.get_pixel_color(0, 0).red + image.get_pixel_color(width - 1, height - 1).blue +
                             image.alpha_get(width - 1, height - 1) + image.get_pixel_index(width / 2, height / 2);
    (void)sink;
    if (uint64_t{width} * height <= 1 << 20) {
        image.rescale(static_cast<int32_t>(width / 2 + 1), static_cast<int32_t>(height / 2 + 1), 1);
    }
}

} // namespace zel::fuzz
