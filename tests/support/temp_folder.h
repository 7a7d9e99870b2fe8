// A fresh folder under the system's temporary folder, removed with everything in it at the end of the test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zel::test {

class temp_folder {
public:
    temp_folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvik_testXXXXXX").string();
        if (::mkdtemp(pattern.data())) {
            path_ = pattern;
        }
    }
    ~temp_folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    // Writes bytes to a file under the folder, creating its parent folders.
    std::filesystem::path write(const std::filesystem::path& name, const std::string& bytes) const {
        const auto file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    std::string read(const std::filesystem::path& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

} // namespace zel::test
