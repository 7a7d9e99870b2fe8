#include "image/icon_image.h"

#include "image/image_memory_stream.h"
#include "image/image_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zel {

namespace {

constexpr uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Reads exactly n bytes at base + offset.
bool read_at(image_stream* stream, int64_t position, void* buffer, size_t n) {
    return stream->seek(position, 0) && stream->read(buffer, 1, n) == n;
}

} // namespace

bool icon_image::decode(image_stream* stream) {
    if (stream == nullptr) {
        return false;
    }
    const int64_t base = stream->tell();
    const int64_t stream_size = stream->size();
    uint8_t header[6];
    if (base < 0 || stream->read(header, 1, 6) != 6 || le16(header) != 0 ||
        (le16(header + 2) != 1 && le16(header + 2) != 2)) {
        return false;
    }
    const uint32_t count = le16(header + 4);
    std::vector<uint8_t> directory(16 * size_t{count});
    if (stream->read(directory.data(), 1, directory.size()) != directory.size()) {
        return false;
    }
    std::vector<entry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* d = directory.data() + 16 * size_t{i};
        // A width or height byte of 0 means 256.
        entries[i] = entry{d[0] == 0 ? 256u : d[0], d[1] == 0 ? 256u : d[1], le32(d + 8), le32(d + 12)};
        // Every entry's data must lie inside the stream, whichever entry is decoded.
        if (uint64_t{entries[i].offset} + entries[i].bytes > static_cast<uint64_t>(stream_size - base)) {
            set_last_error("icon entry outside the file");
            return false;
        }
    }
    info_.frame_count = static_cast<int32_t>(count);
    if (info_.frame_index < 0 || static_cast<uint32_t>(info_.frame_index) >= count) {
        return false;
    }
    const entry& e = entries[static_cast<size_t>(info_.frame_index)];

    uint8_t signature[8] = {};
    const bool is_png = e.bytes >= sizeof signature && read_at(stream, base + e.offset, signature, sizeof signature) &&
                        std::memcmp(signature, png_signature, sizeof signature) == 0;
    if (is_png) {
        return decode_png(stream, base, e);
    }
    if (info_.cancel == -1) {
        head_.width = static_cast<int32_t>(e.width);
        head_.height = static_cast<int32_t>(e.height);
        info_.type = CXIMAGE_FORMAT_ICO;
        return true;
    }
    return decode_bitmap(stream, base, e);
}

bool icon_image::decode_png(image_stream* stream, int64_t base, const entry& e) {
    // The PNG is read from a copy of its entry, so it can't reach past the entry's bytes.
    std::vector<uint8_t> bytes(e.bytes);
    if (!read_at(stream, base + e.offset, bytes.data(), bytes.size())) {
        return false;
    }
    image_memory_stream png_stream(bytes.data(), bytes.size());
    CxImage png(CXIMAGE_FORMAT_PNG);
    png.copy_decode_settings(*this);
    if (!png.Decode(&png_stream, CXIMAGE_FORMAT_PNG)) {
        set_last_error(png.last_error());
        return false;
    }
    const int32_t frames = info_.frame_count;
    if (info_.cancel == -1) {
        head_.width = static_cast<int32_t>(png.get_width());
        head_.height = static_cast<int32_t>(png.get_height());
    } else if (!take_over_from(png, false)) {
        return false;
    }
    info_.frame_count = frames;
    info_.type = CXIMAGE_FORMAT_ICO;
    return true;
}

bool icon_image::decode_bitmap(image_stream* stream, int64_t base, const entry& e) {
    uint8_t bitmap[40];
    if (e.bytes < sizeof bitmap || !read_at(stream, base + e.offset, bitmap, sizeof bitmap)) {
        return false;
    }
    const uint32_t bits = le16(bitmap + 14);
    const uint32_t colors = le32(bitmap + 32);
    if (Create(e.width, e.height, bits, CXIMAGE_FORMAT_ICO) == nullptr) {
        return false;
    }
    const uint32_t entries = std::min(colors != 0 ? colors : head_.clr_used, head_.clr_used);
    if (entries != 0 && stream->read(palette_pointer(), 4, entries) != entries) {
        return false;
    }
    const uint32_t width = get_width();
    const uint32_t height = get_height();
    if (bits == 32) {
        std::vector<uint8_t> pixels(size_t{width} * height * 4);
        if (stream->read(pixels.data(), 1, pixels.size()) != pixels.size() || !alpha_create()) {
            return false;
        }
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* dst = row_bits(y);
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* p = pixels.data() + (size_t{y} * width + x) * 4;
                dst[3 * x] = p[0];
                dst[3 * x + 1] = p[1];
                dst[3 * x + 2] = p[2];
                alpha_[size_t{y} * width + x] = p[3];
            }
        }
    } else {
        stream->read(info_.first_row, 1, head_.size_image);
    }

    const size_t mask_row_bytes = (size_t{width} + 31) / 32 * 4;
    std::vector<uint8_t> mask(mask_row_bytes * height);
    if (stream->read(mask.data(), 1, mask.size()) != mask.size()) {
        // A file without its mask keeps the colours as read.
        return true;
    }
    apply_mask(mask.data(), mask_row_bytes);
    return true;
}

void icon_image::apply_mask(const uint8_t* mask, size_t mask_row_bytes) {
    const uint32_t width = get_width();
    const uint32_t height = get_height();
    const size_t mask_bytes = mask_row_bytes * height;
    const auto masked = [&](uint32_t x, uint32_t y) {
        return (mask[y * mask_row_bytes + x / 8] >> (7 - x % 8) & 1) != 0;
    };
    if (std::all_of(mask, mask + mask_bytes, [](uint8_t b) { return b == 255; })) {
        info_.transparent_index = 0;
        invert();
        return;
    }
    const bool had_alpha = alpha_ != nullptr;
    if (!alpha_create()) {
        return;
    }
    bool any_masked = false;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            if (masked(x, y)) {
                alpha_[size_t{y} * width + x] = 0;
                any_masked = true;
            }
        }
    }
    if (!any_masked) {
        if (!had_alpha) {
            alpha_delete();
        }
        return;
    }
    if (head_.bit_count > 8) {
        return;
    }
    std::vector<bool> used(head_.clr_used, false);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t index = get_pixel_index_unchecked(x, y);
            if (index < used.size()) {
                used[index] = true;
            }
        }
    }
    int32_t free_index = -1;
    for (int32_t i = static_cast<int32_t>(used.size()) - 1; i >= 0; --i) {
        if (!used[static_cast<size_t>(i)]) {
            free_index = i;
            break;
        }
    }
    if (free_index < 0) {
        return;
    }
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            if (masked(x, y)) {
                set_pixel_index_unchecked(x, y, static_cast<uint8_t>(free_index));
            }
        }
    }
    info_.transparent_index = free_index;
    alpha_delete();
}

} // namespace zel
