// JPEG decoding through libjpeg (6b API) over an image_stream, after an EXIF pass over the file's sections.
// Rows come out bottom-up, blue-green-red; grey and quantised output stay indexed.
#pragma once

#include "image/cx_image.h"
#include "image/jpeg/exif_reader.h"

#include <memory>

struct jpeg_decompress_struct;

namespace zel {

struct jpeg_jump_state;

class jpeg_image : public CxImage {
public:
    jpeg_image();
    ~jpeg_image() override;

    bool decode(image_stream* stream);

    const exif_info& exif() const {
        return exif_info_;
    }
    // libjpeg's DCT method, used when the JPEG codec option asks for it (0x200).
    void set_dct_method(int method) {
        dct_method_ = method;
    }

    // JPEG codec-option bits.
    enum : uint32_t {
        option_gray = 0x80,
        option_quantize = 0x100,
        option_dct_method = 0x200,
        option_no_fancy_upsampling = 0x400,
        option_no_block_smoothing = 0x800,
    };

private:
    bool read_exif(image_stream* stream);
    // Holds libjpeg's error jump; nothing in it has a destructor.
    bool decompress(jpeg_decompress_struct* cinfo, jpeg_jump_state* errors, bool has_exif);
    void read_resolution(const jpeg_decompress_struct* cinfo, bool has_exif);

    std::unique_ptr<exif_reader> exif_;
    exif_info exif_info_{};
    int dct_method_ = 0;
};

} // namespace zel
