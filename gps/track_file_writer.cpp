#include "gps/track_file_writer.h"

#include "foundation/clock.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/file_listing.h"
#include "gps/track_file.h"

#include <cstdio>

namespace zel::gps {

std::mutex& track_file_lock() {
    static std::mutex lock;
    return lock;
}

void track_file_writer::prune() {
    const std::vector<listed_file> files = sort_files(folder_, ".trk");
    for (size_t i = kept_files; i < files.size(); ++i) {
        std::error_code error;
        std::filesystem::remove(files[i].path, error);
    }
}

bool track_file_writer::write(const std::vector<location>& points) {
    const std::string bytes = encode_track_batch(points);
    std::lock_guard guard(track_file_lock());
    prune();
    const std::filesystem::path file = folder_ / (std::to_string(now_seconds()) + ".trk");
    std::error_code size_error;
    const auto old_size = std::filesystem::file_size(file, size_error);
    std::FILE* out = std::fopen(file.c_str(), "ab");
    if (!out) {
        zel::log(logger::warning, L"track: cannot open " + utf8_to_wide(file.string()) + L", " +
                                      std::to_wstring(points.size()) + L" points dropped");
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        // A torn batch would make the rest of the file unreadable: cut it off again.
        std::error_code error;
        std::filesystem::resize_file(file, size_error ? 0 : old_size, error);
        zel::log(logger::warning, L"track: writing " + utf8_to_wide(file.string()) + L" failed");
        return false;
    }
    return true;
}

} // namespace zel::gps
