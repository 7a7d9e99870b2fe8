// Listings of the upload folders. A ".trk" file's name is the second it was written, so that number stands
// for its creation time (Linux keeps no reliable one): sort_files orders by it, newest first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zel::gps {

struct listed_file {
    std::filesystem::path path; // folder and name
    std::string name;           // the name as the file system holds it
    int64_t time = 0;           // the leading decimal number of the name, 0 when there is none
};

// The files (not folders) of folder whose name contains extension, in name order. A missing folder lists
// nothing.
std::vector<listed_file> list_files(const std::filesystem::path& folder, const std::string& extension);
// list_files, newest first by time (then by name, backwards).
std::vector<listed_file> sort_files(const std::filesystem::path& folder, const std::string& extension);

enum class file_read { ok, missing, too_large };
// The whole file, when it opens and holds at most cap bytes.
file_read read_file_bytes(const std::filesystem::path& file, size_t cap, std::string& bytes);

} // namespace zel::gps
