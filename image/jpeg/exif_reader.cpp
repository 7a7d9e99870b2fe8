#include "image/jpeg/exif_reader.h"

#include "image/image_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zel {

namespace {

constexpr size_t format_sizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
constexpr int max_nesting = 4;
constexpr int max_directories = 32;
constexpr int max_padding = 6;

enum : int {
    tag_make = 271,
    tag_model = 272,
    tag_orientation = 274,
    tag_x_resolution = 282,
    tag_y_resolution = 283,
    tag_resolution_unit = 296,
    tag_thumbnail_offset = 513,
    tag_thumbnail_length = 514,
    tag_exposure_time = 33434,
    tag_f_number = 33437,
    tag_exif_offset = 34665,
    tag_gps_offset = 34853,
    tag_iso_equivalent = 34855,
    tag_exif_version = 36864,
    tag_date_time_original = 36867,
    tag_compression_level = 37122,
    tag_shutter_speed = 37377,
    tag_aperture = 37378,
    tag_brightness = 37379,
    tag_exposure_bias = 37380,
    tag_max_aperture = 37381,
    tag_subject_distance = 37382,
    tag_metering_mode = 37383,
    tag_light_source = 37384,
    tag_flash = 37385,
    tag_focal_length = 37386,
    tag_user_comment = 37510,
    tag_exif_image_width = 40962,
    tag_exif_image_height = 40963,
    tag_interop_offset = 40965,
    tag_focal_plane_x_res = 41486,
    tag_focal_plane_y_res = 41487,
    tag_focal_plane_unit = 41488,
};

// Copies at most capacity - 1 bytes of a text value, stopping at its NUL.
void copy_text(char* target, size_t capacity, const uint8_t* value, uint64_t count) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, capacity - 1));
    size_t i = 0;
    for (; i < n && value[i] != 0; ++i) {
        target[i] = static_cast<char>(value[i]);
    }
    target[i] = 0;
}

// Conversions of file values that stay defined whatever the value.
float to_float(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<float>(std::clamp(value, -3.0e38, 3.0e38));
}

int32_t to_int(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(value, -2.0e9, 2.0e9));
}

// By unit number 1-5 (none, inch, centimetre, millimetre, micrometre): the divisor that turns a resolution
// into dots per inch, and the millimetres of a focal-plane unit.
constexpr float resolution_units[6] = {0, 1.0f, 1.0f, 0.3937007874f, 0.03937007874f, 0.00003937007874f};
constexpr float focal_plane_units[6] = {0, 25.4f, 25.4f, 10.0f, 1.0f, 0.001f};

float unit_factor(const float (&table)[6], double unit, float unchanged) {
    return unit >= 1 && unit <= 5 ? table[static_cast<int>(unit)] : unchanged;
}

bool is_start_of_frame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

exif_reader::exif_reader(exif_info* info) : info_(info) {
    if (info_ == nullptr) {
        own_info_ = std::make_unique<exif_info>();
        info_ = own_info_.get();
    }
    *info_ = exif_info{};
}

exif_reader::~exif_reader() = default;

void exif_reader::set_error(const char* text) {
    std::snprintf(error_, sizeof error_, "%s", text);
}

uint16_t exif_reader::read_u16(const uint8_t* value) const {
    return big_endian_ ? static_cast<uint16_t>(value[0] << 8 | value[1])
                       : static_cast<uint16_t>(value[1] << 8 | value[0]);
}

uint32_t exif_reader::read_u32(const uint8_t* value) const {
    if (big_endian_) {
        return uint32_t{value[0]} << 24 | uint32_t{value[1]} << 16 | uint32_t{value[2]} << 8 | value[3];
    }
    return uint32_t{value[3]} << 24 | uint32_t{value[2]} << 16 | uint32_t{value[1]} << 8 | value[0];
}

int32_t exif_reader::read_i32(const uint8_t* value) const {
    return static_cast<int32_t>(read_u32(value));
}

double exif_reader::read_number(const uint8_t* value, int format) const {
    switch (format) {
    case 1:
    case 7:
        return value[0];
    case 6:
        return static_cast<int8_t>(value[0]);
    case 3:
        return read_u16(value);
    case 8:
        return static_cast<int16_t>(read_u16(value));
    case 4:
        return read_u32(value);
    case 9:
        return read_i32(value);
    case 5:
    case 10: {
        const double numerator =
            format == 5 ? static_cast<double>(read_u32(value)) : static_cast<double>(read_i32(value));
        const double denominator =
            format == 5 ? static_cast<double>(read_u32(value + 4)) : static_cast<double>(read_i32(value + 4));
        return denominator == 0 ? 0 : numerator / denominator;
    }
    case 11: {
        float f;
        const uint32_t bits = read_u32(value);
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    case 12: {
        uint64_t bits = big_endian_ ? uint64_t{read_u32(value)} << 32 | read_u32(value + 4)
                                    : uint64_t{read_u32(value + 4)} << 32 | read_u32(value);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    default:
        return 0;
    }
}

bool exif_reader::read_jpeg_sections(image_stream* stream, int mode) {
    if (stream == nullptr || stream->get_byte() != 0xFF || stream->get_byte() != 0xD8) {
        return false;
    }
    for (;;) {
        int marker = 0;
        for (int padding = 0;; ++padding) {
            marker = stream->get_byte();
            if (marker != 0xFF) {
                break;
            }
            if (padding >= max_padding) {
                set_error("too many padding bytes!");
                return false;
            }
        }
        const int high = stream->get_byte();
        const int low = stream->get_byte();
        if (marker < 0 || high < 0 || low < 0) {
            set_error("Premature end of file?");
            return false;
        }
        const size_t length = static_cast<size_t>(high << 8 | low);
        if (length < 2) {
            set_error("invalid marker");
            return false;
        }
        section current{std::vector<uint8_t>(length), marker};
        current.data[0] = static_cast<uint8_t>(high);
        current.data[1] = static_cast<uint8_t>(low);
        if (stream->read(current.data.data() + 2, 1, length - 2) != length - 2) {
            set_error("Premature end of file?");
            return false;
        }
        const bool parse = (mode & parse_exif) != 0;
        bool keep = false;
        if (marker == 0xDA) {
            if (mode & keep_image) {
                const int64_t here = stream->tell();
                const int64_t end = stream->size();
                if (here < 0 || end < here) {
                    set_error("could not read the rest of the image");
                    return false;
                }
                section rest{std::vector<uint8_t>(static_cast<size_t>(end - here)), 0};
                if (stream->read(rest.data.data(), 1, rest.data.size()) != rest.data.size()) {
                    set_error("could not read the rest of the image");
                    return false;
                }
                sections_.push_back(std::move(current));
                sections_.push_back(std::move(rest));
            }
            return true;
        }
        if (marker == 0xD9) {
            set_error("No image in jpeg!");
            return false;
        }
        if (is_start_of_frame(marker)) {
            read_frame_header(current.data.data(), length);
            keep = true;
        } else if (marker == 0xFE && parse) {
            read_comment(current.data.data() + 2, length - 2);
            keep = true;
        } else if (marker == 0xE1 && parse && length >= 8 && std::memcmp(current.data.data() + 2, "Exif", 4) == 0) {
            parse_exif_block(current.data.data() + 2, length - 2);
            keep = true;
        }
        if (keep) {
            if (sections_.size() >= max_sections) {
                set_error("Too many sections in jpg file");
                return false;
            }
            sections_.push_back(std::move(current));
        }
    }
}

void exif_reader::read_frame_header(const uint8_t* data, size_t length) {
    // A frame header shorter than its fields is ignored rather than read past its end.
    if (length < 8) {
        return;
    }
    info_->height = data[3] << 8 | data[4];
    info_->width = data[5] << 8 | data[6];
    info_->is_color = data[7] == 3;
}

void exif_reader::read_comment(const uint8_t* data, size_t length) {
    const size_t n = std::min<size_t>(length, 1000);
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t c = data[i];
        if (c == '\r' && i + 1 < n && data[i + 1] == '\n') {
            continue;
        }
        info_->comments[out++] = (c >= 32 && c < 127) || c == '\t' || c == '\n' ? static_cast<char>(c) : '?';
    }
    info_->comments[out] = 0;
}

bool exif_reader::parse_exif_block(const uint8_t* data, size_t length) {
    if (data == nullptr || length < 6 || std::memcmp(data, "Exif\0\0", 6) != 0) {
        set_error("Incorrect Exif header");
        return false;
    }
    const uint8_t* tiff = data + 6;
    const size_t tiff_length = length - 6;
    if (tiff_length < 8) {
        set_error("Invalid Exif alignment marker.");
        return false;
    }
    if (tiff[0] == 'I' && tiff[1] == 'I') {
        big_endian_ = false;
    } else if (tiff[0] == 'M' && tiff[1] == 'M') {
        big_endian_ = true;
    } else {
        set_error("Invalid Exif alignment marker.");
        return false;
    }
    if (read_u16(tiff + 2) != 42) {
        set_error("Invalid Exif start (1)");
        return false;
    }
    info_->is_exif = true;
    largest_dimension_ = 0;
    directories_left_ = max_directories;
    const uint32_t first = read_u32(tiff + 4);
    if (!parse_directory(tiff, tiff_length, first, 0)) {
        return false;
    }
    // The first directory's link names the thumbnail's directory.
    const uint64_t entries_at = uint64_t{first};
    const uint64_t count = read_u16(tiff + first);
    const uint64_t link_at = entries_at + 2 + 12 * count;
    if (link_at + 4 <= tiff_length) {
        const uint32_t second = read_u32(tiff + link_at);
        if (second > 8 && !parse_directory(tiff, tiff_length, second, 1)) {
            return false;
        }
    }
    if (info_->focal_plane_x_res != 0) {
        info_->ccd_width = to_float(largest_dimension_ * info_->focal_plane_units / info_->focal_plane_x_res);
    }
    return true;
}

bool exif_reader::parse_directory(const uint8_t* tiff, size_t length, size_t offset, int level) {
    if (level > max_nesting) {
        set_error("Maximum directory nesting exceeded (corrupt exif header)");
        return false;
    }
    if (--directories_left_ < 0) {
        set_error("Illegal subdirectory link");
        return false;
    }
    if (uint64_t{offset} + 2 > length) {
        set_error("Illegally sized directory");
        return false;
    }
    const uint32_t count = read_u16(tiff + offset);
    if (uint64_t{offset} + 2 + 12 * uint64_t{count} > length) {
        set_error("Illegally sized directory");
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = tiff + offset + 2 + 12 * size_t{i};
        const int tag = read_u16(entry);
        const int format = read_u16(entry + 2);
        const uint32_t components = read_u32(entry + 4);
        if (format < 1 || format > 12) {
            set_error("Illegal format code in EXIF dir");
            return false;
        }
        const uint64_t byte_count = uint64_t{components} * format_sizes[format];
        const uint8_t* value = entry + 8;
        if (byte_count > 4) {
            const uint32_t value_offset = read_u32(entry + 8);
            if (uint64_t{value_offset} + byte_count > length) {
                set_error("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = tiff + value_offset;
        }
        // A number tag needs its first value, which a zero count does not give.
        if (components == 0) {
            continue;
        }
        if (tag == tag_exif_offset || tag == tag_interop_offset || tag == tag_gps_offset) {
            const uint32_t sub = read_u32(value);
            if (sub >= length) {
                set_error("Illegal subdirectory link");
                return false;
            }
            if (!parse_directory(tiff, length, sub, level + 1)) {
                return false;
            }
            continue;
        }
        read_tag(tag, format, components, value);
    }
    return true;
}

void exif_reader::read_tag(int tag, int format, uint32_t count, const uint8_t* value) {
    const auto number = [&] { return read_number(value, format); };
    const auto as_float = [&] { return to_float(number()); };
    switch (tag) {
    case tag_make:
        copy_text(info_->camera_make, sizeof info_->camera_make, value, count);
        break;
    case tag_model:
        copy_text(info_->camera_model, sizeof info_->camera_model, value, count);
        break;
    case tag_orientation: {
        const double orientation = number();
        if (orientation < 1 || orientation > 8) {
            set_error("Undefined rotation value");
            info_->orientation = 0;
        } else {
            info_->orientation = to_int(orientation);
        }
        break;
    }
    case tag_x_resolution:
        info_->x_resolution = as_float();
        break;
    case tag_y_resolution:
        info_->y_resolution = as_float();
        break;
    case tag_resolution_unit:
        info_->resolution_unit = unit_factor(resolution_units, number(), info_->resolution_unit);
        break;
    case tag_thumbnail_offset:
        info_->thumbnail_offset = static_cast<uint32_t>(std::max(0, to_int(number())));
        break;
    case tag_thumbnail_length:
        info_->thumbnail_size = static_cast<uint32_t>(std::max(0, to_int(number())));
        break;
    case tag_exposure_time:
        info_->exposure_time = as_float();
        break;
    case tag_f_number:
        info_->aperture_f_number = as_float();
        break;
    case tag_iso_equivalent: {
        const double iso = number();
        info_->iso_equivalent = to_int(iso < 50 ? iso * 200 : iso);
        break;
    }
    case tag_exif_version:
        copy_text(info_->version, sizeof info_->version, value, std::min<uint32_t>(count, 4));
        break;
    case tag_date_time_original:
        copy_text(info_->date_time, sizeof info_->date_time, value, count);
        break;
    case tag_compression_level:
        info_->compression_level = as_float();
        break;
    case tag_shutter_speed:
        if (info_->exposure_time == 0) {
            info_->exposure_time = to_float(1.0 / std::exp2(std::clamp(number(), -100.0, 100.0)));
        }
        break;
    case tag_aperture:
    case tag_max_aperture: {
        const float f = to_float(std::exp(std::clamp(number(), -100.0, 100.0) * std::log(2.0) * 0.5));
        if (tag == tag_max_aperture) {
            info_->max_aperture = f;
        } else if (info_->aperture_f_number == 0) {
            info_->aperture_f_number = f;
        }
        break;
    }
    case tag_brightness:
        info_->brightness = as_float();
        break;
    case tag_exposure_bias:
        info_->exposure_bias = as_float();
        break;
    case tag_subject_distance:
        info_->distance = as_float();
        break;
    case tag_metering_mode:
        info_->metering_mode = to_int(number());
        break;
    case tag_light_source:
        info_->light_source = to_int(number());
        break;
    case tag_flash:
        info_->flash_used = (to_int(number()) & 1) != 0;
        break;
    case tag_focal_length:
        info_->focal_length = as_float();
        break;
    case tag_user_comment:
        if (count > 8 && std::memcmp(value, "ASCII", 5) == 0) {
            copy_text(info_->comments, sizeof info_->comments, value + 8, count - 8);
        }
        break;
    case tag_exif_image_width:
    case tag_exif_image_height:
        largest_dimension_ = std::max(largest_dimension_, number());
        break;
    case tag_focal_plane_x_res:
        info_->focal_plane_x_res = as_float();
        break;
    case tag_focal_plane_y_res:
        info_->focal_plane_y_res = as_float();
        break;
    case tag_focal_plane_unit:
        info_->focal_plane_units = unit_factor(focal_plane_units, number(), info_->focal_plane_units);
        break;
    default:
        break;
    }
}

} // namespace zel
