#include "foundation/app_paths.h"

#include "foundation/text_utils.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <cerrno>
#include <mutex>

namespace zel {
namespace {

std::mutex folder_lock;
std::wstring folder_override;

std::wstring executable_folder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return L"";
    }
    return utf8_to_wide(exe.parent_path().string());
}

} // namespace

std::wstring app_folder() {
    {
        std::lock_guard guard(folder_lock);
        if (!folder_override.empty()) {
            return folder_override;
        }
    }
    static const std::wstring folder = executable_folder();
    return folder;
}

void set_app_folder(const std::wstring& folder) {
    std::lock_guard guard(folder_lock);
    folder_override = folder;
}

std::filesystem::path app_file(const std::wstring& name) {
    std::wstring path = app_folder();
    if (name.empty() || (name[0] != L'\\' && name[0] != L'/')) {
        path += L'/';
    }
    path += name;
    for (auto& c : path) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    return std::filesystem::path(wide_to_utf8(path));
}

std::wstring read_first_word(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string word;
    if (in) {
        in >> word;
    }
    return bytes_to_wide(word);
}

std::wstring read_first_line(const std::filesystem::path& file, size_t max_chars) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (in) {
        std::getline(in, line);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() > max_chars) {
        line.resize(max_chars);
    }
    return bytes_to_wide(line);
}

bool write_file_atomic(const std::filesystem::path& file, const std::string& bytes) {
    const std::filesystem::path temp = file.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = write_all(fd, bytes) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    const auto parent = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    const int dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool write_all(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::wstring read_navigation_path() {
    return read_first_line(app_file(L"\\navigation.txt"), 254);
}

} // namespace zel
