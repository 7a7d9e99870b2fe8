// PNG decoding through libpng into the bottom-up DIB rows of a CxImage: 16-bit samples keep their high byte,
// 2-bit pixels widen to 4 bits, grey and palette images stay indexed, alpha goes to the alpha plane and a
// palette's tRNS alpha into the palette's fourth bytes.
#pragma once

#include "image/cx_image.h"

#include <png.h>

namespace zel {

class png_image : public CxImage {
public:
    png_image() : CxImage(CXIMAGE_FORMAT_PNG) {}

    bool decode(image_stream* stream);

private:
    struct read_state {
        image_stream* stream;
        uint8_t* row; // libpng's row, owned by decode
        bool header_read;
    };

    // Holds libpng's error jump. Neither it nor read_image keeps an object with a destructor, so the jump
    // skips no cleanup; decode frees what the state holds.
    bool read_with_jump(png_structp png, png_infop info, read_state* state);
    bool read_image(png_structp png, png_infop info, read_state* state);
    void read_resolution(png_structp png, png_infop info);
    void read_palette_and_transparency(png_structp png, png_infop info, int color_type, int bit_depth);
    void read_rows(png_structp png, png_infop info, read_state* state, int passes, int bit_depth);
};

} // namespace zel
