// CxImage: a decoded raster image held as one block in the layout of a Windows DIB (40-byte bitmap header,
// palette, rows bottom-up padded to 4 bytes), an info block of settings and state, and optional alpha and
// selection planes of width × height bytes (row 0 is the bottom row there too). The image owns its buffers
// unless it is an alias of another image, which then keeps them; an alias frees nothing.
//
// Failures are a false or null result and a last-error text of at most 255 characters; nothing throws.
//
// Sections of the class, and the file that holds each:
//   object, creation, copying, accessors  cx_image.cpp
//   decoding dispatch                     cx_image_decode.cpp (decoders: png/, jpeg/, icon_image)
//   resampling and interpolation          cx_image_resample.cpp
//   drawing to a device context           cx_image_draw.cpp
#pragma once

#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zel {

class image_stream;

// Image type numbers.
enum : uint32_t { CXIMAGE_FORMAT_UNKNOWN = 0, CXIMAGE_FORMAT_JPG = 3, CXIMAGE_FORMAT_PNG = 4, CXIMAGE_FORMAT_ICO = 5 };

// The largest width and height a decoder or Create accepts.
inline constexpr uint32_t cximage_max_side = 16384;

// BITMAPINFOHEADER layout.
struct cx_bitmap_header {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bit_count;
    uint32_t compression;
    uint32_t size_image;
    int32_t x_pels_per_meter;
    int32_t y_pels_per_meter;
    uint32_t clr_used;
    uint32_t clr_important;
};
static_assert(sizeof(cx_bitmap_header) == 40);

// RGBQUAD layout: a palette entry or a colour; the fourth byte is alpha where the image says so.
struct cx_rgb_quad {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t alpha;
    bool operator==(const cx_rgb_quad&) const = default;
};
static_assert(sizeof(cx_rgb_quad) == 4);

// Selection box in bottom-up rows: left ≤ x < right, bottom ≤ y < top.
struct cx_box {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Settings and state, copied and moved as one block.
struct cx_info {
    int32_t row_bytes;
    uint8_t* first_row; // bottom row inside the pixel block
    void* alias_source; // the image whose buffers this one shares, or null
    uint32_t type;
    char last_error[256];
    int32_t progress;
    int32_t cancel; // 0 run; -1 read only the header; anything else aborts a row loop
    int32_t transparent_index;
    cx_rgb_quad transparent_color;
    float jpeg_quality;
    uint8_t jpeg_scale;
    int32_t frame_index;
    int32_t frame_count;
    int32_t dpi_x;
    int32_t dpi_y;
    cx_box selection_box;
    uint8_t alpha_max;
    bool palette_alpha;
    bool enabled;
    uint32_t codec_options[4]; // any type, JPEG, PNG, icon
    cx_rgb_quad last_color;
    uint8_t last_index;
    bool last_valid;
    int32_t layer_count;
    bool little_endian;
};

class CxImage {
public:
    explicit CxImage(uint32_t image_type = CXIMAGE_FORMAT_UNKNOWN);
    virtual ~CxImage();
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;

    bool free_data();
    bool free_frames();

    // Allocates a zeroed image; the depth is rounded to 1, 4, 8 or 24 bits. The pixel block, or null.
    void* Create(uint32_t width, uint32_t height, uint32_t bits_per_pixel, uint32_t image_type);

    // Becomes a copy of the source's pixels and of the settings that describe them (transparency, resolution,
    // codec options); this image keeps its own frames, layer and frame counts, progress, cancel flag and last
    // error. A copy of an alias is an alias of the same image.
    void copy_from(const CxImage& source, bool copy_pixels = true, bool copy_selection = true, bool copy_alpha = true);
    bool take_over_from(CxImage& other, bool take_frames = true);
    void alias_of(const CxImage* source);
    // Takes the whole info block of the source while this image has no pixel block (resampling keeps the
    // source's transparency and settings this way).
    void copy_info(const CxImage& source);
    // Takes only the settings that steer a decode (cancel flag, JPEG quality and scale, frame index, codec
    // options, drawing settings), never the source's transparency, selection or buffers.
    void copy_decode_settings(const CxImage& source);

    // Decoding dispatch: type 0 tries JPEG, icon and PNG in turn.
    bool Decode(image_stream* stream, uint32_t image_type);

    // Resampling: mode 1 nearest pixel, 2 bicubic B-spline, anything else bilinear (area average when a
    // 24-bit image shrinks both ways). A null destination means this image.
    bool rescale(int32_t new_width, int32_t new_height, int mode = 1, CxImage* destination = nullptr);
    bool overflow_coords(int32_t& x, int32_t& y, int method) const;
    bool overflow_coords_f(float& x, float& y, int method) const;
    cx_rgb_quad interpolated_color(float x, float y, int interpolation_method = 2, int overflow_method = 5,
                                   const cx_rgb_quad* background = nullptr);
    cx_rgb_quad area_color(float x, float y, float area_width, float area_height, int interpolation_method = 2,
                           int overflow_method = 5, const cx_rgb_quad* background = nullptr);
    cx_rgb_quad pixel_color_with_overflow(int32_t x, int32_t y, int overflow_method = 5,
                                          const cx_rgb_quad* background = nullptr);
    static void add_weighted_color(const cx_rgb_quad& color, float weight, float& blue, float& green, float& red,
                                   float& alpha);

    // Accessors.
    uint32_t get_width() const {
        return static_cast<uint32_t>(head_.width);
    }
    uint32_t get_height() const {
        return static_cast<uint32_t>(head_.height);
    }
    uint32_t bits_per_pixel() const {
        return head_.bit_count;
    }
    uint32_t row_bytes() const {
        return static_cast<uint32_t>(info_.row_bytes);
    }
    uint32_t image_type() const {
        return info_.type;
    }
    const char* last_error() const {
        return info_.last_error;
    }
    bool is_valid() const {
        return block_ != nullptr;
    }
    bool is_indexed() const {
        return head_.clr_used != 0;
    }
    const cx_bitmap_header& header() const {
        return head_;
    }
    const cx_info& info() const {
        return info_;
    }
    // The pixel block (header, palette, rows), or null.
    const uint8_t* block() const {
        return block_;
    }
    uint8_t* row_bits(uint32_t row = 0);
    bool is_inside(int64_t x, int64_t y) const;

    uint32_t palette_size_bytes() const {
        return head_.clr_used * 4;
    }
    cx_rgb_quad* palette_pointer() const;
    cx_rgb_quad get_palette_color(uint32_t index) const;
    void set_palette_color(uint32_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0);
    void set_palette(const cx_rgb_quad* entries, uint32_t count);
    void set_palette_from_triples(const uint8_t* rgb, uint32_t count);
    void set_palette_from_arrays(uint32_t count, const uint8_t* red, const uint8_t* green, const uint8_t* blue);
    void set_gray_palette();
    bool is_gray_scale() const;
    void set_important_colors(uint32_t count);

    uint8_t get_pixel_index(int64_t x, int64_t y) const;
    void set_pixel_index(int64_t x, int64_t y, uint8_t index);
    cx_rgb_quad get_pixel_color(int64_t x, int64_t y, bool with_alpha = true) const;
    void set_pixel_color(int64_t x, int64_t y, cx_rgb_quad color, bool set_alpha = false);
    // COLORREF: red | green << 8 | blue << 16.
    void set_pixel_colorref(int64_t x, int64_t y, uint32_t colorref);
    uint8_t get_pixel_index_unchecked(uint32_t x, uint32_t y) const;
    cx_rgb_quad get_pixel_color_unchecked(uint32_t x, uint32_t y, bool with_alpha = true) const;
    void set_pixel_index_unchecked(uint32_t x, uint32_t y, uint8_t index);
    void set_pixel_color_unchecked(uint32_t x, uint32_t y, cx_rgb_quad color, bool set_alpha = false);
    uint8_t* pixel_pointer_unchecked(uint32_t x, uint32_t y) const;
    uint8_t alpha_get_unchecked(uint32_t x, uint32_t y) const {
        return alpha_[static_cast<size_t>(y) * get_width() + x];
    }
    uint8_t nearest_index(cx_rgb_quad color);
    void swap_red_blue(uint8_t* buffer, size_t length) const;
    // Negative: 24-bit pixels (the selected ones, with a selection) and the transparent colour; an indexed
    // image's palette, or its indices when the palette is a grey ramp.
    bool invert();

    bool has_alpha() const {
        return alpha_ != nullptr;
    }
    bool alpha_create();
    void alpha_delete();
    void alpha_set(int64_t x, int64_t y, uint8_t alpha);
    uint8_t alpha_get(int64_t x, int64_t y) const;
    uint8_t* alpha_pointer(int64_t x = 0, int64_t y = 0) const;

    void selection_delete();
    bool selection_contains(int64_t x, int64_t y) const;
    uint8_t* selection_pointer() const {
        return selection_;
    }

    int32_t get_transparent_index() const {
        return info_.transparent_index;
    }
    void set_transparent_index(int32_t index);
    cx_rgb_quad get_transparent_color() const;
    void set_transparent_color(cx_rgb_quad color);

    int32_t get_dpi_x() const {
        return info_.dpi_x;
    }
    int32_t get_dpi_y() const {
        return info_.dpi_y;
    }
    void set_dpi_x(int32_t dpi);
    void set_dpi_y(int32_t dpi);

    uint8_t jpeg_quality() const;
    void set_jpeg_quality(float quality) {
        info_.jpeg_quality = quality;
    }
    uint8_t jpeg_scale() const {
        return info_.jpeg_scale;
    }
    void set_jpeg_scale(uint8_t scale) {
        info_.jpeg_scale = scale;
    }
    void set_cancel(int32_t value) {
        info_.cancel = value;
    }
    int32_t get_cancel() const {
        return info_.cancel;
    }
    int32_t progress() const {
        return info_.progress;
    }
    bool set_image_type(uint32_t type);
    uint32_t codec_option(uint32_t type = 0) const;
    void set_codec_option(uint32_t value, uint32_t type = 0);
    uint8_t alpha_max() const {
        return info_.alpha_max;
    }
    void set_alpha_max(uint8_t value) {
        info_.alpha_max = value;
    }
    bool palette_alpha() const {
        return info_.palette_alpha;
    }
    void set_palette_alpha(bool on) {
        info_.palette_alpha = on;
    }
    bool enabled() const {
        return info_.enabled;
    }
    void set_enabled(bool on) {
        info_.enabled = on;
    }
    int32_t frame_index() const {
        return info_.frame_index;
    }
    void set_frame_index(int32_t index) {
        info_.frame_index = index;
    }
    int32_t frame_count() const {
        return info_.frame_count;
    }

    // Drawing to a device context: the image at (x, y), scaled to width × height (below 0: its own size),
    // blended with the destination where it has an alpha plane, palette alpha or a transparent colour.
    bool draw_to_dc(HDC dc, int32_t x, int32_t y, int32_t width = -1, int32_t height = -1, bool smooth = false);
    // The image repeated from the rectangle's top-left corner; the last tiles are cut at its edges.
    bool tile_to_dc(HDC dc, const RECT* rectangle);

    uint16_t swap16(uint16_t value) const;
    uint32_t swap32(uint32_t value) const;
    void swap_bitmap_header(cx_bitmap_header& header) const;
    static std::wstring version_text();

protected:
    void init_defaults(uint32_t image_type);
    // Stores the text (at most 255 characters) as the last error.
    void set_last_error(const char* text);
    // The smallest colour distance search of nearest_index over the important colours.
    uint8_t nearest_index_scan(cx_rgb_quad color) const;
    bool decode_as(image_stream* stream, uint32_t image_type);
    // Colour of the source pixel behind a pixel of the drawn area (column and row values before flooring).
    cx_rgb_quad draw_sample(float column, float row, bool smooth, float fx, float fy, uint32_t& sx, uint32_t& sy);
    // A resolution below 1 dpi becomes 96; pixels per metre go into the header copy and the block's header.
    void store_dpi(int32_t dpi, int32_t& field, int32_t& header_field, size_t block_offset);

    uint8_t* block_ = nullptr;
    cx_bitmap_header head_{};
    cx_info info_{};
    uint8_t* selection_ = nullptr;
    uint8_t* alpha_ = nullptr;
    CxImage** layers_ = nullptr;
    CxImage** frames_ = nullptr;

private:
    void clear_buffers();
};

} // namespace zel
