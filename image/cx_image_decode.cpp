#include "image/cx_image.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "image/icon_image.h"
#include "image/image_stream.h"
#include "image/jpeg/jpeg_image.h"
#include "image/png/png_image.h"

#include <memory>
#include <string>

namespace zel {

namespace {

template <typename Decoder>
bool decode_into(std::unique_ptr<CxImage>& temporary, const CxImage& settings, image_stream* stream) {
    auto decoder = std::make_unique<Decoder>();
    // Only the settings that steer a decode pass on: the caller's transparency, selection and buffers
    // belong to its old picture.
    decoder->copy_decode_settings(settings);
    const bool ok = decoder->decode(stream);
    temporary = std::move(decoder);
    return ok;
}

} // namespace

bool CxImage::decode_as(image_stream* stream, uint32_t image_type) {
    std::unique_ptr<CxImage> temporary;
    bool ok;
    switch (image_type) {
    case CXIMAGE_FORMAT_JPG:
        ok = decode_into<jpeg_image>(temporary, *this, stream);
        break;
    case CXIMAGE_FORMAT_PNG:
        ok = decode_into<png_image>(temporary, *this, stream);
        break;
    case CXIMAGE_FORMAT_ICO:
        ok = decode_into<icon_image>(temporary, *this, stream);
        break;
    default:
        return false;
    }
    if (ok) {
        // A success leaves the last error text as it was.
        std::string error = info_.last_error;
        if (!take_over_from(*temporary, true)) {
            return false;
        }
        set_last_error(error.c_str());
        return true;
    }
    set_last_error(temporary->last_error());
    if (image_type == CXIMAGE_FORMAT_ICO && frames_ == nullptr) {
        info_.frame_count = temporary->frame_count();
    }
    return false;
}

bool CxImage::Decode(image_stream* stream, uint32_t image_type) {
    if (stream == nullptr) {
        set_last_error("null file handler");
        return false;
    }
    bool ok = false;
    if (image_type == CXIMAGE_FORMAT_UNKNOWN) {
        const int64_t position = stream->tell();
        for (uint32_t type : {CXIMAGE_FORMAT_JPG, CXIMAGE_FORMAT_ICO, CXIMAGE_FORMAT_PNG}) {
            if (decode_as(stream, type)) {
                return true;
            }
            stream->seek(position, 0);
        }
        set_last_error("Decode: Unknown or wrong format");
    } else if (image_type == CXIMAGE_FORMAT_JPG || image_type == CXIMAGE_FORMAT_PNG ||
               image_type == CXIMAGE_FORMAT_ICO) {
        ok = decode_as(stream, image_type);
    } else {
        set_last_error("Decode: Unknown or wrong format");
    }
    if (!ok) {
        zel::log(zel::logger::warning, L"CxImage::Decode: " + zel::utf8_to_wide(info_.last_error));
    }
    return ok;
}

} // namespace zel
