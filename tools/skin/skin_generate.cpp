// skin_generate TABLE OUTPUT_FOLDER
// Draws every picture of the skin table and writes OUTPUT_FOLDER/<library>/<id>.png and
// OUTPUT_FOLDER/manifest.txt (id, library, size, type, pixel digest; one line per id, ascending). A bad row
// or a broken rule fails with the table's file name and line, and nothing is written.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "tools/skin/skin_checks.h"
#include "tools/skin/skin_painter.h"
#include "tools/skin/skin_png.h"
#include "tools/skin/skin_table.h"

namespace fs = std::filesystem;
using namespace skin_tools;

namespace {

struct drawn {
    const skin_row* row;
    std::vector<std::uint8_t> png;
    std::string digest;
};

bool write_file(const fs::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: skin_generate TABLE OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string table_path = argv[1];
    const fs::path out = argv[2];
    try {
        const skin_table table = skin_table::load(table_path);
        std::vector<std::string> broken = skin_checks::table(table);
        std::map<int, drawn> pictures;
        for (const skin_row& row : table.rows()) {
            try {
                const skin_canvas canvas = skin_painter::paint(row);
                for (std::string& rule : skin_checks::picture(row, canvas)) {
                    broken.push_back(std::move(rule));
                }
                pictures[row.id] = {&row, encode_png(canvas, row.alpha), pixel_digest(canvas, row.alpha)};
            } catch (const table_error& error) {
                broken.push_back(error.what());
            }
        }
        if (!broken.empty()) {
            for (const std::string& rule : broken) {
                std::cerr << table_path << ": " << rule << "\n";
            }
            return 1;
        }
        std::ostringstream manifest;
        for (const char* library : {"button", "main", "toolbar", "order", "help"}) {
            const fs::path folder = out / library;
            fs::create_directories(folder);
            for (const auto& entry : fs::directory_iterator(folder)) {
                if (entry.path().extension() == ".png") {
                    fs::remove(entry.path());
                }
            }
        }
        for (const auto& [id, picture] : pictures) {
            const skin_row& row = *picture.row;
            const fs::path file = out / row.library / (std::to_string(id) + ".png");
            if (!write_file(file, picture.png.data(), picture.png.size())) {
                std::cerr << "skin_generate: cannot write " << file << "\n";
                return 1;
            }
            manifest << id << " " << row.library << " " << row.width << "x" << row.height << " "
                     << (row.alpha ? "RGBA" : "RGB") << " " << picture.digest << "\n";
        }
        const std::string text = manifest.str();
        if (!write_file(out / "manifest.txt", text.data(), text.size())) {
            std::cerr << "skin_generate: cannot write the manifest\n";
            return 1;
        }
    } catch (const table_error& error) {
        std::cerr << table_path << ": " << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "skin_generate: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
