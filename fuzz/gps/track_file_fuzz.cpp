// The ".trk" reader never crashes, and what it accepts is exactly what the writer makes: the batches it reads
// encode back to the same bytes; a rejected file's whole batches are still a prefix of it.
#include "gps/track_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::vector<zel::gps::track_record>> batches;
    std::string error;
    const bool valid = zel::gps::read_track_file(bytes, batches, error);
    std::string encoded;
    for (const auto& batch : batches) {
        encoded += zel::gps::encode_track_batch(batch);
    }
    if (valid ? encoded != bytes : (error.empty() || !bytes.starts_with(encoded) || encoded.size() == size)) {
        std::abort();
    }
    return 0;
}
