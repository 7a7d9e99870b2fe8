// Image: a drawable picture — a decoded CxImage (PNG kind, or the JPEG kind) that it owns, with its format
// number (4 PNG, 3 JPG). A picture that could not be found or decoded is a 0 x 0 image: its sizes read 0 and
// draw, resize and tile do nothing, so callers never test for it. An Image of any other format throws
// Exception from every operation that reads pixels. Not shared between threads while it changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "form/drawing/geometry.h"

namespace zel {
class CxImage;
}

namespace zel::form {

class Graphics;

class Image {
public:
    static constexpr int format_jpg = 3;
    static constexpr int format_png = 4;

    // An empty picture of the PNG kind.
    Image();
    // An empty picture of the given format; a format other than 3 or 4 makes an Image that only throws.
    explicit Image(int format);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // PNG bytes decoded and scaled by the smaller of sx and sy (never below 1 x 1); a failed decode gives a
    // 0 x 0 picture.
    static std::shared_ptr<Image> from_png_bytes(const std::uint8_t* bytes, std::size_t count, float sx, float sy);
    // A resource picture ("PNG" for format 4, "JPG" for 3) of the library at path (empty: the program's own),
    // see init_scaled.
    static std::shared_ptr<Image> construct_scaled(int id, const std::wstring& path, int format, float sx, float sy,
                                                   bool keep_aspect);

    // Loads a resource picture; when width and height are both non-zero and differ from its size, resizes it.
    void init(int id, const std::wstring& path, int format, int width, int height);
    // Loads a resource picture and scales it. Keeping the aspect it only ever shrinks, and only when the
    // smaller factor is more than 0.01 below 1; otherwise each side is scaled by its own factor.
    void init_scaled(int id, const std::wstring& path, int format, float sx, float sy, bool keep_aspect);

    // A deep copy of the other's pixels, alpha and selection, and its format.
    void assign(const Image& other);

    // Top-left corner at (x, y), natural size.
    void draw(Graphics& g, int x, int y);
    // Stretched into (x, y, width, height).
    void draw(Graphics& g, int x, int y, int width, int height);
    // Repeated from the rectangle's top-left corner, the last tiles cut at its edges.
    void tile_in_rect(Graphics& g, const rect& r);
    // Nearest-pixel resampling.
    void resize(int width, int height);

    int width() const;
    int height() const;
    int format() const {
        return format_;
    }
    // Whether there are pixels to draw.
    bool empty() const;

private:
    void make_decoder(int format);
    void check_format(const wchar_t* message) const;

    std::unique_ptr<CxImage> image_;
    int format_ = format_png;
};

} // namespace zel::form
