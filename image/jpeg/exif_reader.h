// Walks the sections of a JPEG file and reads the EXIF block (APP1 "Exif") and comments into an exif_info.
// Every offset and length from the file is checked against the block with 64-bit arithmetic; the reader
// keeps its own error text and never fails a decode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zel {

class image_stream;

// Camera and picture properties of the EXIF tags the reader knows.
struct exif_info {
    char version[5];
    char camera_make[32];
    char camera_model[40];
    char date_time[20];
    int32_t height;
    int32_t width;
    int32_t orientation;
    bool is_color;
    bool is_exif;
    int32_t flash_used;
    float focal_length;
    float exposure_time;
    float aperture_f_number;
    float max_aperture;
    float distance;
    float ccd_width;
    float exposure_bias;
    float brightness;
    float compression_level;
    int32_t light_source;
    int32_t metering_mode;
    int32_t iso_equivalent;
    float x_resolution;
    float y_resolution;
    float resolution_unit; // factor that turns the resolution into dots per inch by division
    float focal_plane_x_res;
    float focal_plane_y_res;
    float focal_plane_units; // millimetres per focal-plane unit
    uint32_t thumbnail_offset;
    uint32_t thumbnail_size;
    char comments[1001];
};

class exif_reader {
public:
    // Fills the given record, or one of its own when null.
    explicit exif_reader(exif_info* info = nullptr);
    ~exif_reader();
    exif_reader(const exif_reader&) = delete;
    exif_reader& operator=(const exif_reader&) = delete;

    enum : int { parse_exif = 1, keep_image = 2 };
    // Reads sections up to the start of scan. mode: parse_exif (EXIF block and comments), keep_image (also
    // keep the compressed data after the start of scan).
    bool read_jpeg_sections(image_stream* stream, int mode);
    bool parse_exif_block(const uint8_t* data, size_t length);

    const exif_info& info() const {
        return *info_;
    }
    const char* last_error() const {
        return error_;
    }
    size_t section_count() const {
        return sections_.size();
    }

private:
    struct section {
        std::vector<uint8_t> data; // the two length bytes first
        int marker;
    };
    static constexpr size_t max_sections = 20;

    bool parse_directory(const uint8_t* tiff, size_t length, size_t offset, int level);
    void read_tag(int tag, int format, uint32_t count, const uint8_t* value);
    void read_frame_header(const uint8_t* data, size_t length);
    void read_comment(const uint8_t* data, size_t length);
    double read_number(const uint8_t* value, int format) const;
    int32_t read_i32(const uint8_t* value) const;
    uint32_t read_u32(const uint8_t* value) const;
    uint16_t read_u16(const uint8_t* value) const;
    void set_error(const char* text);

    exif_info* info_;
    std::unique_ptr<exif_info> own_info_;
    char error_[256] = {};
    double largest_dimension_ = 0;
    bool big_endian_ = false;
    int directories_left_ = 0; // budget of directories per block: sub-directory links can't fan out forever
    std::vector<section> sections_;
};

} // namespace zel
