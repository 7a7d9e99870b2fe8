#include "gps/file_listing.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>

namespace zel::gps {
namespace {

int64_t leading_number(const std::string& name) {
    int64_t value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') {
            break;
        }
        if (value > (std::numeric_limits<int64_t>::max() - 9) / 10) {
            return std::numeric_limits<int64_t>::max();
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::vector<listed_file> list_files(const std::filesystem::path& folder, const std::string& extension) {
    std::vector<listed_file> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code type_error;
        if (it->is_directory(type_error)) {
            continue;
        }
        std::string name = it->path().filename().string();
        if (name.find(extension) == std::string::npos) {
            continue;
        }
        const int64_t time = leading_number(name);
        files.push_back({it->path(), std::move(name), time});
    }
    std::sort(files.begin(), files.end(), [](const listed_file& a, const listed_file& b) { return a.name < b.name; });
    return files;
}

std::vector<listed_file> sort_files(const std::filesystem::path& folder, const std::string& extension) {
    std::vector<listed_file> files = list_files(folder, extension);
    std::sort(files.begin(), files.end(), [](const listed_file& a, const listed_file& b) {
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    return files;
}

file_read read_file_bytes(const std::filesystem::path& file, size_t cap, std::string& bytes) {
    bytes.clear();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return file_read::missing;
    }
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (bytes.size() + static_cast<size_t>(in.gcount()) > cap) {
            bytes.clear();
            return file_read::too_large;
        }
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
    }
    return file_read::ok;
}

} // namespace zel::gps
