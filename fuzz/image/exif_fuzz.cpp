// The JPEG section walk and the EXIF parser read only inside their input, whatever it claims.
#include "fuzz/image/fuzz_setup.h"
#include "image/image_memory_stream.h"
#include "image/jpeg/exif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zel::fuzz::quiet_logger();
    {
        zel::exif_reader reader;
        reader.parse_exif_block(data, size);
    }
    zel::image_memory_stream stream(data, size);
    zel::exif_reader walker;
    walker.read_jpeg_sections(&stream, zel::exif_reader::parse_exif | zel::exif_reader::keep_image);
    return 0;
}
