// skin_pack OUTPUT.dll [FOLDER | ID=FILE]...
// Packs PNG files into a resource-only DLL as resources of type "PNG" named by integer id, language neutral.
// A folder contributes every file named <id>.png in it; ID=FILE adds one file. An empty set gives a valid
// library without resources.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "tools/skin/resource_dll_writer.h"

namespace fs = std::filesystem;

namespace {

bool parse_id(const std::string& text, std::uint16_t& id) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > 0xFFFF) {
        return false;
    }
    id = static_cast<std::uint16_t>(value);
    return true;
}

bool read_file(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: skin_pack OUTPUT.dll [FOLDER | ID=FILE]...\n";
        return 2;
    }
    std::map<std::uint16_t, fs::path> files;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        std::uint16_t id = 0;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            if (!parse_id(arg.substr(0, eq), id)) {
                std::cerr << "skin_pack: bad id in " << arg << "\n";
                return 2;
            }
            files[id] = arg.substr(eq + 1);
            continue;
        }
        std::error_code ec;
        if (!fs::is_directory(arg, ec)) {
            continue; // a library with no pictures yet
        }
        for (const auto& entry : fs::directory_iterator(arg)) {
            if (entry.path().extension() == ".png" && parse_id(entry.path().stem().string(), id)) {
                files[id] = entry.path();
            }
        }
    }
    std::vector<skin_tools::resource_item> items;
    for (const auto& [id, path] : files) {
        skin_tools::resource_item item{u"PNG", id, 0, {}};
        if (!read_file(path, item.data)) {
            std::cerr << "skin_pack: cannot read " << path << "\n";
            return 1;
        }
        items.push_back(std::move(item));
    }
    const std::vector<std::uint8_t> dll = skin_tools::write_resource_dll(std::move(items));
    const fs::path out = argv[1];
    if (out.has_parent_path()) {
        fs::create_directories(out.parent_path());
    }
    const fs::path temporary = out.string() + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(dll.data()), static_cast<std::streamsize>(dll.size()));
        if (!file) {
            std::cerr << "skin_pack: cannot write " << temporary << "\n";
            return 1;
        }
    }
    fs::rename(temporary, out);
    return 0;
}
