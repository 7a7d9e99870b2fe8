// Windows icon and cursor decoding: one entry of the directory (the image's frame index), a bitmap with its
// AND mask or a whole PNG file. Every entry must lie inside the stream.
#pragma once

#include "image/cx_image.h"

namespace zel {

class icon_image : public CxImage {
public:
    icon_image() : CxImage(CXIMAGE_FORMAT_ICO) {}

    bool decode(image_stream* stream);

private:
    struct entry {
        uint32_t width; // 1-256
        uint32_t height;
        uint32_t bytes;
        uint32_t offset;
    };

    bool decode_png(image_stream* stream, int64_t base, const entry& e);
    bool decode_bitmap(image_stream* stream, int64_t base, const entry& e);
    void apply_mask(const uint8_t* mask, size_t mask_row_bytes);

    [[maybe_unused]] uint32_t reserved_ = 0;
};

} // namespace zel
