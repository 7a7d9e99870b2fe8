#include "image/cx_image.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zel {

namespace {

constexpr uint64_t max_pixel_bits = uint64_t{1} << 31; // 256 MiB of pixel data

uint32_t palette_entries_for(uint32_t bits) {
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

int32_t pels_per_meter(int32_t dpi) {
    return static_cast<int32_t>(std::floor(dpi * 39.37007874015748 + 0.5));
}

} // namespace

CxImage::CxImage(uint32_t image_type) {
    init_defaults(image_type);
}

CxImage::~CxImage() {
    free_frames();
    free_data();
}

void CxImage::init_defaults(uint32_t image_type) {
    block_ = nullptr;
    selection_ = nullptr;
    alpha_ = nullptr;
    layers_ = nullptr;
    frames_ = nullptr;
    head_ = cx_bitmap_header{};
    info_ = cx_info{};
    info_.jpeg_quality = 90.0f;
    info_.type = image_type;
    info_.alpha_max = 255;
    info_.transparent_index = -1;
    info_.enabled = true;
    set_dpi_x(96);
    set_dpi_y(96);
    info_.little_endian = true;
}

void CxImage::set_last_error(const char* text) {
    std::snprintf(info_.last_error, sizeof info_.last_error, "%s", text);
}

bool CxImage::free_data() {
    if (info_.alias_source != nullptr) {
        return false;
    }
    if (layers_ != nullptr) {
        for (int32_t i = 0; i < info_.layer_count; ++i) {
            delete layers_[i];
        }
        delete[] layers_;
        layers_ = nullptr;
    }
    info_.layer_count = 0;
    std::free(selection_);
    selection_ = nullptr;
    std::free(alpha_);
    alpha_ = nullptr;
    std::free(block_);
    block_ = nullptr;
    info_.first_row = nullptr;
    return true;
}

bool CxImage::free_frames() {
    if (info_.alias_source != nullptr) {
        return false;
    }
    if (frames_ != nullptr) {
        for (int32_t i = 0; i < info_.frame_count; ++i) {
            delete frames_[i];
        }
        delete[] frames_;
        frames_ = nullptr;
    }
    info_.frame_count = 0;
    return true;
}

void* CxImage::Create(uint32_t width, uint32_t height, uint32_t bits_per_pixel, uint32_t image_type) {
    if (!free_data()) {
        return nullptr;
    }
    if (width == 0 || height == 0) {
        set_last_error("CxImage::Create : width and height must be greater than zero");
        return nullptr;
    }
    const uint32_t bits = bits_per_pixel <= 1 ? 1 : bits_per_pixel <= 4 ? 4 : bits_per_pixel <= 8 ? 8 : 24;
    // Sizes come from files: each side is capped and every product is taken in 64 bits.
    const uint64_t pixel_bits = uint64_t{width} * height * bits;
    if (width > cximage_max_side || height > cximage_max_side || pixel_bits / 8 * 8 > max_pixel_bits) {
        set_last_error("CXIMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }
    const uint32_t entries = palette_entries_for(bits);
    const uint64_t row_bytes = (uint64_t{width} * bits + 31) / 32 * 4;
    const uint64_t image_size = row_bytes * height;

    head_.size = sizeof(cx_bitmap_header);
    head_.width = static_cast<int32_t>(width);
    head_.height = static_cast<int32_t>(height);
    head_.planes = 1;
    head_.bit_count = static_cast<uint16_t>(bits);
    head_.compression = 0;
    head_.size_image = static_cast<uint32_t>(image_size);
    head_.clr_used = entries;
    head_.clr_important = 0;
    info_.row_bytes = static_cast<int32_t>(row_bytes);
    info_.type = image_type;
    info_.selection_box = cx_box{static_cast<int32_t>(width), 0, 0, static_cast<int32_t>(height)};
    info_.last_valid = false;

    // Zeroed, so rows that a cut-short decode never reaches hold no stale heap bytes.
    block_ = static_cast<uint8_t*>(std::calloc(1, sizeof(cx_bitmap_header) + 4 * size_t{entries} + image_size));
    if (block_ == nullptr) {
        set_last_error("CxImage::Create can't allocate memory");
        return nullptr;
    }
    std::memcpy(block_, &head_, sizeof head_);
    info_.first_row = block_ + sizeof(cx_bitmap_header) + 4 * size_t{entries};
    return block_;
}

void CxImage::copy_from(const CxImage& source, bool copy_pixels, bool copy_selection, bool copy_alpha) {
    if (&source == this || info_.alias_source != nullptr) {
        return;
    }
    if (source.info_.alias_source != nullptr) {
        alias_of(&source);
        return;
    }
    // Create frees this image's layers with this image's count, so the source's settings come in only after it;
    // the counts of layers and frames, and the rest of this image's bookkeeping, stay its own: with the
    // source's counts, freeing would walk this image's arrays past their ends.
    if (Create(source.get_width(), source.get_height(), source.bits_per_pixel(), source.image_type()) == nullptr) {
        return;
    }
    const cx_info own = info_;
    info_ = source.info_;
    info_.row_bytes = own.row_bytes;
    info_.first_row = own.first_row;
    info_.alias_source = nullptr;
    info_.layer_count = own.layer_count;
    info_.frame_count = own.frame_count;
    info_.frame_index = own.frame_index;
    info_.progress = own.progress;
    info_.cancel = own.cancel;
    std::memcpy(info_.last_error, own.last_error, sizeof info_.last_error);
    head_ = source.head_;
    const size_t palette_bytes = palette_size_bytes();
    if (copy_pixels && source.block_ != nullptr) {
        std::memcpy(block_, source.block_, sizeof(cx_bitmap_header) + palette_bytes + head_.size_image);
    } else {
        std::memcpy(block_, &head_, sizeof head_);
        if (source.palette_pointer() != nullptr) {
            set_palette(source.palette_pointer(), source.head_.clr_used);
        }
    }
    const size_t plane = size_t{get_width()} * get_height();
    if (copy_selection && source.selection_ != nullptr) {
        selection_ = static_cast<uint8_t*>(std::malloc(plane));
        if (selection_ != nullptr) {
            std::memcpy(selection_, source.selection_, plane);
        }
    }
    if (copy_alpha && source.alpha_ != nullptr) {
        alpha_ = static_cast<uint8_t*>(std::malloc(plane));
        if (alpha_ != nullptr) {
            std::memcpy(alpha_, source.alpha_, plane);
        }
    }
}

bool CxImage::take_over_from(CxImage& other, bool take_frames) {
    if (&other == this || !free_data()) {
        return false;
    }
    const int32_t own_frame_count = info_.frame_count;
    head_ = other.head_;
    info_ = other.info_;
    block_ = other.block_;
    selection_ = other.selection_;
    alpha_ = other.alpha_;
    layers_ = other.layers_;
    other.block_ = nullptr;
    other.selection_ = nullptr;
    other.alpha_ = nullptr;
    other.layers_ = nullptr;
    const int32_t other_frame_count = other.info_.frame_count;
    other.head_ = cx_bitmap_header{};
    other.info_ = cx_info{};
    if (take_frames) {
        info_.frame_count = own_frame_count;
        free_frames();
        frames_ = other.frames_;
        info_.frame_count = other_frame_count;
        other.frames_ = nullptr;
    } else {
        // The frame count must keep describing the frame array that each image still holds.
        info_.frame_count = own_frame_count;
        other.info_.frame_count = other_frame_count;
    }
    return true;
}

void CxImage::alias_of(const CxImage* source) {
    if (source == nullptr || source == this) {
        return;
    }
    // Own buffers would otherwise be lost once the pointers are overwritten.
    free_frames();
    free_data();
    head_ = source->head_;
    info_ = source->info_;
    block_ = source->block_;
    selection_ = source->selection_;
    alpha_ = source->alpha_;
    layers_ = source->layers_;
    frames_ = source->frames_;
    info_.alias_source = const_cast<CxImage*>(source);
}

void CxImage::copy_info(const CxImage& source) {
    if (block_ != nullptr) {
        return;
    }
    info_ = source.info_;
    info_.first_row = nullptr;
    info_.alias_source = nullptr;
}

void CxImage::copy_decode_settings(const CxImage& source) {
    if (block_ != nullptr) {
        return;
    }
    const cx_info& from = source.info_;
    info_.cancel = from.cancel;
    info_.jpeg_quality = from.jpeg_quality;
    info_.jpeg_scale = from.jpeg_scale;
    info_.frame_index = from.frame_index;
    std::copy(std::begin(from.codec_options), std::end(from.codec_options), std::begin(info_.codec_options));
    info_.alpha_max = from.alpha_max;
    info_.enabled = from.enabled;
    info_.little_endian = from.little_endian;
}

uint8_t* CxImage::row_bits(uint32_t row) {
    if (block_ == nullptr || row >= get_height()) {
        return nullptr;
    }
    return info_.first_row + size_t{row} * row_bytes();
}

bool CxImage::is_inside(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < head_.width && y < head_.height;
}

cx_rgb_quad* CxImage::palette_pointer() const {
    if (block_ == nullptr || head_.clr_used == 0) {
        return nullptr;
    }
    return reinterpret_cast<cx_rgb_quad*>(block_ + sizeof(cx_bitmap_header));
}

cx_rgb_quad CxImage::get_palette_color(uint32_t index) const {
    const cx_rgb_quad* palette = palette_pointer();
    if (palette == nullptr || index >= head_.clr_used) {
        return cx_rgb_quad{};
    }
    return palette[index];
}

void CxImage::set_palette_color(uint32_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    cx_rgb_quad* palette = palette_pointer();
    if (palette != nullptr && index < head_.clr_used) {
        palette[index] = cx_rgb_quad{blue, green, red, alpha};
        info_.last_valid = false;
    }
}

void CxImage::set_palette(const cx_rgb_quad* entries, uint32_t count) {
    cx_rgb_quad* palette = palette_pointer();
    if (palette == nullptr || entries == nullptr) {
        return;
    }
    std::memcpy(palette, entries, 4 * size_t{std::min(count, head_.clr_used)});
    info_.last_valid = false;
}

void CxImage::set_palette_from_triples(const uint8_t* rgb, uint32_t count) {
    if (rgb == nullptr) {
        return;
    }
    const uint32_t n = std::min(count, head_.clr_used);
    for (uint32_t i = 0; i < n; ++i) {
        set_palette_color(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    }
}

void CxImage::set_palette_from_arrays(uint32_t count, const uint8_t* red, const uint8_t* green, const uint8_t* blue) {
    if (red == nullptr) {
        return;
    }
    green = green != nullptr ? green : red;
    blue = blue != nullptr ? blue : green;
    const uint32_t n = std::min(count, head_.clr_used);
    for (uint32_t i = 0; i < n; ++i) {
        set_palette_color(i, red[i], green[i], blue[i]);
    }
}

void CxImage::set_gray_palette() {
    if (palette_pointer() == nullptr || head_.clr_used < 2) {
        return;
    }
    const uint32_t step = 255 / (head_.clr_used - 1);
    for (uint32_t i = 0; i < head_.clr_used; ++i) {
        const auto level = static_cast<uint8_t>(i * step);
        set_palette_color(i, level, level, level);
    }
}

bool CxImage::is_gray_scale() const {
    const cx_rgb_quad* palette = palette_pointer();
    if (palette == nullptr) {
        return false;
    }
    for (uint32_t i = 0; i < head_.clr_used; ++i) {
        if (palette[i].blue != i || palette[i].green != i || palette[i].red != i) {
            return false;
        }
    }
    return true;
}

void CxImage::set_important_colors(uint32_t count) {
    const uint32_t cap = head_.bit_count <= 1 ? 2 : head_.bit_count <= 4 ? 16 : 256;
    head_.clr_important = count >= 1 && count <= 256 ? std::min(count, cap) : 0;
    if (block_ != nullptr) {
        std::memcpy(block_, &head_, sizeof head_);
    }
}

uint8_t CxImage::get_pixel_index_unchecked(uint32_t x, uint32_t y) const {
    const uint8_t* row = info_.first_row + size_t{y} * row_bytes();
    switch (head_.bit_count) {
    case 8:
        return row[x];
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default:
        return 0;
    }
}

uint8_t CxImage::get_pixel_index(int64_t x, int64_t y) const {
    if (block_ == nullptr || head_.clr_used == 0) {
        return 0;
    }
    if (!is_inside(x, y)) {
        return info_.transparent_index >= 0 ? static_cast<uint8_t>(info_.transparent_index) : info_.first_row[0];
    }
    return get_pixel_index_unchecked(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
}

void CxImage::set_pixel_index_unchecked(uint32_t x, uint32_t y, uint8_t index) {
    uint8_t* row = info_.first_row + size_t{y} * row_bytes();
    switch (head_.bit_count) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    case 1: {
        const int shift = 7 - static_cast<int>(x & 7);
        row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    default:
        break;
    }
}

void CxImage::set_pixel_index(int64_t x, int64_t y, uint8_t index) {
    if (block_ != nullptr && head_.clr_used != 0 && is_inside(x, y)) {
        set_pixel_index_unchecked(static_cast<uint32_t>(x), static_cast<uint32_t>(y), index);
    }
}

uint8_t* CxImage::pixel_pointer_unchecked(uint32_t x, uint32_t y) const {
    return info_.first_row + size_t{y} * row_bytes() + (head_.bit_count == 24 ? 3 * size_t{x} : x);
}

cx_rgb_quad CxImage::get_pixel_color_unchecked(uint32_t x, uint32_t y, bool with_alpha) const {
    cx_rgb_quad color;
    if (head_.clr_used != 0) {
        color = get_palette_color(get_pixel_index_unchecked(x, y));
    } else {
        const uint8_t* p = pixel_pointer_unchecked(x, y);
        color = cx_rgb_quad{p[0], p[1], p[2], 0};
    }
    if (with_alpha && alpha_ != nullptr) {
        color.alpha = alpha_get_unchecked(x, y);
    }
    return color;
}

cx_rgb_quad CxImage::get_pixel_color(int64_t x, int64_t y, bool with_alpha) const {
    if (block_ == nullptr) {
        return cx_rgb_quad{};
    }
    if (!is_inside(x, y)) {
        if (info_.transparent_index >= 0) {
            return head_.clr_used != 0 ? get_palette_color(static_cast<uint32_t>(info_.transparent_index))
                                       : info_.transparent_color;
        }
        x = 0;
        y = 0;
    }
    cx_rgb_quad color = get_pixel_color_unchecked(static_cast<uint32_t>(x), static_cast<uint32_t>(y), with_alpha);
    if (head_.clr_used == 0 && !(with_alpha && alpha_ != nullptr)) {
        color.alpha = info_.transparent_color.alpha;
    }
    return color;
}

void CxImage::set_pixel_color_unchecked(uint32_t x, uint32_t y, cx_rgb_quad color, bool set_alpha) {
    if (head_.clr_used != 0) {
        set_pixel_index_unchecked(x, y, nearest_index(color));
    } else {
        uint8_t* p = pixel_pointer_unchecked(x, y);
        p[0] = color.blue;
        p[1] = color.green;
        p[2] = color.red;
    }
    if (set_alpha && alpha_ != nullptr) {
        alpha_[size_t{y} * get_width() + x] = color.alpha;
    }
}

void CxImage::set_pixel_color(int64_t x, int64_t y, cx_rgb_quad color, bool set_alpha) {
    if (block_ != nullptr && is_inside(x, y)) {
        set_pixel_color_unchecked(static_cast<uint32_t>(x), static_cast<uint32_t>(y), color, set_alpha);
    }
}

void CxImage::set_pixel_colorref(int64_t x, int64_t y, uint32_t colorref) {
    const cx_rgb_quad color{static_cast<uint8_t>(colorref >> 16), static_cast<uint8_t>(colorref >> 8),
                            static_cast<uint8_t>(colorref), 0};
    set_pixel_color(x, y, color, false);
}

uint8_t CxImage::nearest_index_scan(cx_rgb_quad color) const {
    const cx_rgb_quad* palette = palette_pointer();
    // A stale important-colour count must never reach past the palette.
    uint32_t n = head_.clr_important != 0 ? std::min(head_.clr_important, head_.clr_used) : head_.clr_used;
    int64_t best_distance = 200000;
    uint32_t best = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const int64_t db = int64_t{palette[i].blue} - color.blue;
        const int64_t dg = int64_t{palette[i].green} - color.green;
        const int64_t dr = int64_t{palette[i].red} - color.red;
        if (db == 0 && dg == 0 && dr == 0) {
            return static_cast<uint8_t>(i);
        }
        const int64_t distance = db * db + dg * dg + dr * dr;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

uint8_t CxImage::nearest_index(cx_rgb_quad color) {
    if (palette_pointer() == nullptr) {
        return 0;
    }
    if (info_.last_valid && info_.last_color.blue == color.blue && info_.last_color.green == color.green &&
        info_.last_color.red == color.red) {
        return info_.last_index;
    }
    info_.last_color = color;
    info_.last_index = nearest_index_scan(color);
    info_.last_valid = true;
    return info_.last_index;
}

void CxImage::swap_red_blue(uint8_t* buffer, size_t length) const {
    if (buffer == nullptr || head_.bit_count != 24) {
        return;
    }
    const size_t n = std::min({length, size_t{row_bytes()}, 3 * size_t{get_width()}});
    for (size_t i = 0; i + 2 < n; i += 3) {
        std::swap(buffer[i], buffer[i + 2]);
    }
}

bool CxImage::alpha_create() {
    if (alpha_ != nullptr) {
        return true;
    }
    if (block_ == nullptr) {
        return false;
    }
    const size_t plane = size_t{get_width()} * get_height();
    alpha_ = static_cast<uint8_t*>(std::malloc(plane));
    if (alpha_ == nullptr) {
        return false;
    }
    std::memset(alpha_, 255, plane);
    return true;
}

void CxImage::alpha_delete() {
    std::free(alpha_);
    alpha_ = nullptr;
}

void CxImage::alpha_set(int64_t x, int64_t y, uint8_t alpha) {
    if (alpha_ != nullptr && is_inside(x, y)) {
        alpha_[static_cast<size_t>(y) * get_width() + static_cast<size_t>(x)] = alpha;
    }
}

uint8_t CxImage::alpha_get(int64_t x, int64_t y) const {
    if (alpha_ == nullptr || !is_inside(x, y)) {
        return 0;
    }
    return alpha_[static_cast<size_t>(y) * get_width() + static_cast<size_t>(x)];
}

uint8_t* CxImage::alpha_pointer(int64_t x, int64_t y) const {
    if (alpha_ == nullptr || !is_inside(x, y)) {
        return nullptr;
    }
    return alpha_ + static_cast<size_t>(y) * get_width() + static_cast<size_t>(x);
}

void CxImage::selection_delete() {
    std::free(selection_);
    selection_ = nullptr;
    info_.selection_box = cx_box{head_.width, 0, 0, head_.height};
}

bool CxImage::selection_contains(int64_t x, int64_t y) const {
    if (selection_ == nullptr) {
        return true;
    }
    return is_inside(x, y) && selection_[static_cast<size_t>(y) * get_width() + static_cast<size_t>(x)] != 0;
}

void CxImage::set_transparent_index(int32_t index) {
    info_.transparent_index = index < static_cast<int64_t>(head_.clr_used) ? index : 0;
}

cx_rgb_quad CxImage::get_transparent_color() const {
    if (head_.bit_count < 24 && info_.transparent_index >= 0) {
        return get_palette_color(static_cast<uint32_t>(info_.transparent_index));
    }
    return info_.transparent_color;
}

void CxImage::set_transparent_color(cx_rgb_quad color) {
    info_.transparent_color = cx_rgb_quad{color.blue, color.green, color.red, 0};
}

void CxImage::set_dpi_x(int32_t dpi) {
    store_dpi(dpi, info_.dpi_x, head_.x_pels_per_meter, offsetof(cx_bitmap_header, x_pels_per_meter));
}

void CxImage::set_dpi_y(int32_t dpi) {
    store_dpi(dpi, info_.dpi_y, head_.y_pels_per_meter, offsetof(cx_bitmap_header, y_pels_per_meter));
}

void CxImage::store_dpi(int32_t dpi, int32_t& field, int32_t& header_field, size_t block_offset) {
    field = dpi < 1 ? 96 : dpi;
    header_field = pels_per_meter(field);
    if (block_ != nullptr) {
        std::memcpy(block_ + block_offset, &header_field, sizeof header_field);
    }
}

uint8_t CxImage::jpeg_quality() const {
    return static_cast<uint8_t>(std::clamp(info_.jpeg_quality + 0.5f, 0.0f, 255.0f));
}

bool CxImage::set_image_type(uint32_t type) {
    if (type == CXIMAGE_FORMAT_JPG || type == CXIMAGE_FORMAT_PNG || type == CXIMAGE_FORMAT_ICO) {
        info_.type = type;
        return true;
    }
    info_.type = CXIMAGE_FORMAT_UNKNOWN;
    return false;
}

namespace {

// Codec-option slot of an image type: 1 JPEG, 2 PNG, 3 icon, -1 none.
int option_slot(uint32_t type) {
    switch (type) {
    case CXIMAGE_FORMAT_JPG:
        return 1;
    case CXIMAGE_FORMAT_PNG:
        return 2;
    case CXIMAGE_FORMAT_ICO:
        return 3;
    default:
        return -1;
    }
}

} // namespace

uint32_t CxImage::codec_option(uint32_t type) const {
    int slot = option_slot(type);
    if (slot < 0) {
        slot = std::max(option_slot(info_.type), 0);
    }
    return info_.codec_options[slot];
}

void CxImage::set_codec_option(uint32_t value, uint32_t type) {
    int slot = option_slot(type);
    if (slot < 0) {
        slot = std::max(option_slot(info_.type), 0);
    }
    info_.codec_options[slot] = value;
}

uint16_t CxImage::swap16(uint16_t value) const {
    return info_.little_endian ? value : static_cast<uint16_t>((value >> 8) | (value << 8));
}

uint32_t CxImage::swap32(uint32_t value) const {
    return info_.little_endian ? value : __builtin_bswap32(value);
}

void CxImage::swap_bitmap_header(cx_bitmap_header& header) const {
    header.size = swap32(header.size);
    header.width = static_cast<int32_t>(swap32(static_cast<uint32_t>(header.width)));
    header.height = static_cast<int32_t>(swap32(static_cast<uint32_t>(header.height)));
    header.planes = swap16(header.planes);
    header.bit_count = swap16(header.bit_count);
    header.compression = swap32(header.compression);
    header.size_image = swap32(header.size_image);
    header.x_pels_per_meter = static_cast<int32_t>(swap32(static_cast<uint32_t>(header.x_pels_per_meter)));
    header.y_pels_per_meter = static_cast<int32_t>(swap32(static_cast<uint32_t>(header.y_pels_per_meter)));
    header.clr_used = swap32(header.clr_used);
    header.clr_important = swap32(header.clr_important);
}

std::wstring CxImage::version_text() {
    return L"CxImage 6.0.0";
}

bool CxImage::invert() {
    if (block_ == nullptr) {
        return false;
    }
    const uint32_t width = get_width();
    const uint32_t height = get_height();
    if (head_.bit_count == 24) {
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = row_bits(y);
            if (selection_ == nullptr) {
                for (size_t i = 0; i < 3 * size_t{width}; ++i) {
                    row[i] = static_cast<uint8_t>(255 - row[i]);
                }
                continue;
            }
            const cx_box& box = info_.selection_box;
            if (static_cast<int64_t>(y) < box.bottom || static_cast<int64_t>(y) >= box.top) {
                continue;
            }
            for (uint32_t x = static_cast<uint32_t>(std::max(box.left, 0));
                 x < width && x < static_cast<uint32_t>(std::max(box.right, 0)); ++x) {
                if (selection_contains(x, y)) {
                    uint8_t* p = row + 3 * size_t{x};
                    p[0] = static_cast<uint8_t>(255 - p[0]);
                    p[1] = static_cast<uint8_t>(255 - p[1]);
                    p[2] = static_cast<uint8_t>(255 - p[2]);
                }
            }
        }
        cx_rgb_quad& t = info_.transparent_color;
        t = cx_rgb_quad{static_cast<uint8_t>(255 - t.blue), static_cast<uint8_t>(255 - t.green),
                        static_cast<uint8_t>(255 - t.red), t.alpha};
        return true;
    }
    if (is_gray_scale()) {
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                set_pixel_index_unchecked(x, y,
                                          static_cast<uint8_t>(head_.clr_used - 1 - get_pixel_index_unchecked(x, y)));
            }
        }
        return true;
    }
    cx_rgb_quad* palette = palette_pointer();
    for (uint32_t i = 0; i < head_.clr_used; ++i) {
        palette[i].blue = static_cast<uint8_t>(255 - palette[i].blue);
        palette[i].green = static_cast<uint8_t>(255 - palette[i].green);
        palette[i].red = static_cast<uint8_t>(255 - palette[i].red);
    }
    info_.last_valid = false;
    return true;
}

} // namespace zel
