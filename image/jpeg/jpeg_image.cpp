#include "image/jpeg/jpeg_image.h"

#include "image/image_stream.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace zel {

namespace {

constexpr size_t source_buffer_size = 4096;
// Memory libjpeg may take for whole-image buffers (progressive files); more is refused, not allocated.
constexpr long max_decoder_memory = 256L << 20;

struct stream_source {
    jpeg_source_mgr pub;
    image_stream* stream;
    JOCTET buffer[source_buffer_size];
    bool start_of_file;
    bool at_end;
};

void init_source(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<stream_source*>(cinfo->src);
    source->start_of_file = true;
    source->at_end = false;
}

boolean fill_input_buffer(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<stream_source*>(cinfo->src);
    size_t n = source->stream->read(source->buffer, 1, source_buffer_size);
    if (n == 0) {
        if (source->start_of_file) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        n = 2;
        source->at_end = true;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = n;
    source->start_of_file = false;
    return TRUE;
}

void skip_input_data(j_decompress_ptr cinfo, long count) {
    auto* source = reinterpret_cast<stream_source*>(cinfo->src);
    if (count <= 0) {
        return;
    }
    auto remaining = static_cast<size_t>(count);
    while (remaining > source->pub.bytes_in_buffer) {
        remaining -= source->pub.bytes_in_buffer;
        fill_input_buffer(cinfo);
        // At the end of input the buffer holds the fake end marker: skipping on would refill it forever.
        if (source->at_end) {
            return;
        }
    }
    source->pub.next_input_byte += remaining;
    source->pub.bytes_in_buffer -= remaining;
}

void term_source(j_decompress_ptr) {}

void quiet_output_message(j_common_ptr) {}

} // namespace

struct jpeg_jump_state {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char* text;
};

namespace {

void jpeg_error_exit(j_common_ptr cinfo) {
    auto* state = reinterpret_cast<jpeg_jump_state*>(cinfo->err);
    char message[JMSG_LENGTH_MAX];
    state->pub.format_message(cinfo, message);
    std::snprintf(state->text, 256, "%s", message);
    std::longjmp(state->jump, 1);
}

} // namespace

jpeg_image::jpeg_image() : CxImage(CXIMAGE_FORMAT_JPG) {}

jpeg_image::~jpeg_image() = default;

bool jpeg_image::read_exif(image_stream* stream) {
    const int64_t position = stream->tell();
    exif_ = std::make_unique<exif_reader>(&exif_info_);
    exif_->read_jpeg_sections(stream, exif_reader::parse_exif);
    stream->seek(position, 0);
    return exif_info_.is_exif;
}

bool jpeg_image::decode(image_stream* stream) {
    if (stream == nullptr) {
        return false;
    }
    const bool has_exif = read_exif(stream);

    jpeg_decompress_struct cinfo{};
    jpeg_jump_state errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jpeg_error_exit;
    errors.pub.output_message = quiet_output_message;
    errors.text = info_.last_error;

    stream_source source{};
    source.stream = stream;
    source.pub.init_source = init_source;
    source.pub.fill_input_buffer = fill_input_buffer;
    source.pub.skip_input_data = skip_input_data;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = term_source;

    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
    cinfo.src = &source.pub;
    cinfo.mem->max_memory_to_use = max_decoder_memory;
    const bool ok = decompress(&cinfo, &errors, has_exif);
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

bool jpeg_image::decompress(::jpeg_decompress_struct* cinfo, jpeg_jump_state* errors, bool has_exif) {
    if (setjmp(errors->jump)) {
        return false;
    }
    jpeg_read_header(cinfo, TRUE);

    const uint32_t options = codec_option(CXIMAGE_FORMAT_JPG);
    if (options & option_gray) {
        cinfo->out_color_space = JCS_GRAYSCALE;
    }
    if (options & option_quantize) {
        cinfo->quantize_colors = TRUE;
        cinfo->desired_number_of_colors = jpeg_quality();
    }
    if (options & option_dct_method) {
        cinfo->dct_method = static_cast<J_DCT_METHOD>(dct_method_);
    }
    if (options & option_no_fancy_upsampling) {
        cinfo->do_fancy_upsampling = FALSE;
    }
    if (options & option_no_block_smoothing) {
        cinfo->do_block_smoothing = FALSE;
    }
    if (jpeg_scale() != 0) {
        cinfo->scale_num = 1;
        cinfo->scale_denom = jpeg_scale();
    }
    jpeg_calc_output_dimensions(cinfo);

    if (info_.cancel == -1) {
        head_.width = static_cast<int32_t>(cinfo->output_width);
        head_.height = static_cast<int32_t>(cinfo->output_height);
        info_.type = CXIMAGE_FORMAT_JPG;
        return true;
    }
    // Sizes from the file are checked before libjpeg allocates for them.
    const uint64_t pixels = uint64_t{cinfo->output_width} * cinfo->output_height;
    if (cinfo->output_width > cximage_max_side || cinfo->output_height > cximage_max_side ||
        pixels * (cinfo->output_components == 1 ? 1 : 3) > (uint64_t{1} << 28)) {
        set_last_error("CXIMAGE_MAX_MEMORY exceeded");
        return false;
    }
    jpeg_start_decompress(cinfo);
    const int components = cinfo->output_components;
    if (Create(cinfo->output_width, cinfo->output_height, 8 * static_cast<uint32_t>(components), CXIMAGE_FORMAT_JPG) ==
        nullptr) {
        return false;
    }
    read_resolution(cinfo, has_exif);
    if (cinfo->quantize_colors) {
        const int colors = std::min(cinfo->actual_number_of_colors, 256);
        for (int i = 0; i < colors; ++i) {
            const uint8_t red = cinfo->colormap[0][i];
            const uint8_t green = cinfo->out_color_components >= 3 ? cinfo->colormap[1][i] : red;
            const uint8_t blue = cinfo->out_color_components >= 3 ? cinfo->colormap[2][i] : red;
            set_palette_color(static_cast<uint32_t>(i), red, green, blue);
        }
    } else if (components == 1) {
        set_gray_palette();
    }

    const uint32_t stride = cinfo->output_width * static_cast<uint32_t>(components);
    JSAMPARRAY line = cinfo->mem->alloc_sarray(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, stride, 1);
    const uint32_t height = get_height();
    const bool cmyk = components == 4 && !cinfo->quantize_colors;
    while (cinfo->output_scanline < cinfo->output_height) {
        if (info_.cancel != 0) {
            return false;
        }
        const uint32_t row = cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, line, 1);
        uint8_t* dst = row_bits(height - 1 - row);
        const uint8_t* src = line[0];
        if (cmyk) {
            for (uint32_t x = 0; x < cinfo->output_width; ++x, src += 4, dst += 3) {
                dst[0] = static_cast<uint8_t>(src[2] * src[3] / 255);
                dst[1] = static_cast<uint8_t>(src[1] * src[3] / 255);
                dst[2] = static_cast<uint8_t>(src[0] * src[3] / 255);
            }
        } else {
            std::memcpy(dst, src, std::min<size_t>(stride, row_bytes()));
        }
    }
    jpeg_finish_decompress(cinfo);
    if (components == 3 && !cinfo->quantize_colors) {
        for (uint32_t y = 0; y < height; ++y) {
            swap_red_blue(row_bits(y), row_bytes());
        }
    }
    return true;
}

void jpeg_image::read_resolution(const ::jpeg_decompress_struct* cinfo, bool has_exif) {
    if (has_exif && exif_info_.x_resolution != 0 && exif_info_.resolution_unit != 0) {
        set_dpi_x(static_cast<int32_t>(std::clamp(exif_info_.x_resolution / exif_info_.resolution_unit, 0.0f, 1e9f)));
        set_dpi_y(static_cast<int32_t>(std::clamp(exif_info_.y_resolution / exif_info_.resolution_unit, 0.0f, 1e9f)));
        return;
    }
    const int x = cinfo->X_density;
    const int y = cinfo->Y_density;
    switch (cinfo->density_unit) {
    case 0:
        if (x != 0 && y != 0) {
            set_dpi_y(static_cast<int32_t>(get_dpi_x() * (static_cast<double>(y) / x)));
        }
        break;
    case 2:
        set_dpi_x(static_cast<int32_t>(std::floor(x * 2.54 + 0.5)));
        set_dpi_y(static_cast<int32_t>(std::floor(y * 2.54 + 0.5)));
        break;
    default:
        set_dpi_x(x);
        set_dpi_y(y);
        break;
    }
}

} // namespace zel
