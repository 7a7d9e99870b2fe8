// The built skin: the five libraries hold exactly the ids the program registers (and the logo's three), every
// picture keeps its table row and the drawing rules, the manifest under version control matches, the program's
// skin_images gives every id its size on both screen classes, and drawing again gives the same bytes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "form/drawing/skin_images.h"
#include "tests/support/temp_app_folder.h"
#include "tools/skin/resource_dll_reader.h"
#include "tools/skin/skin_checks.h"
#include "tools/skin/skin_png.h"
#include "tools/skin/skin_table.h"

namespace fs = std::filesystem;
using namespace skin_tools;

namespace {

const char* const libraries[] = {"button", "main", "toolbar", "order", "help"};

std::vector<std::uint8_t> read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path source(const std::string& relative) {
    const char* root = std::getenv("MORVIK_SOURCE_DIR");
    return fs::path(root ? root : MORVIK_SOURCE_FALLBACK) / relative;
}

const skin_table& table() {
    static const skin_table loaded = skin_table::load(source("assets/skin/pictures.table").string());
    return loaded;
}

// The pictures of one built library by id.
std::map<int, std::vector<std::uint8_t>> library_pictures(const fs::path& dll, std::set<std::string>& problems) {
    std::string error;
    const auto items = read_resource_dll(read_bytes(dll), &error);
    std::map<int, std::vector<std::uint8_t>> out;
    if (!items) {
        problems.insert(dll.string() + ": " + error);
        return out;
    }
    for (const resource_item& item : *items) {
        const auto* type = std::get_if<std::u16string>(&item.type);
        const auto* id = std::get_if<std::uint16_t>(&item.name);
        if (!type || *type != u"PNG" || !id || item.language != 0) {
            problems.insert(dll.string() + ": a resource that is not a language-neutral PNG by number");
            continue;
        }
        if (!out.emplace(*id, item.data).second) {
            problems.insert(dll.string() + ": id " + std::to_string(*id) + " twice");
        }
    }
    return out;
}

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(skin_libraries, hold_every_registered_id_once_and_nothing_else) {
    std::set<std::string> problems;
    for (const char* library : libraries) {
        const auto pictures =
            library_pictures(fs::path(MORVIK_SKIN_DIR) / (library_file_name(library) + ".dll"), problems);
        std::set<int> expected;
        for (int id : skin_checks::expected_ids()) {
            if (id_in_library_range(library, id) || (std::string(library) == "help" && id >= 2001 && id <= 2003)) {
                expected.insert(id);
            }
        }
        std::set<int> present;
        for (const auto& [id, bytes] : pictures) {
            present.insert(id);
            EXPECT_FALSE(bytes.empty()) << library << " " << id;
        }
        EXPECT_EQ(present, expected) << library;
    }
    EXPECT_TRUE(problems.empty()) << *problems.begin();
}

TEST(skin_libraries, every_picture_keeps_its_row_and_the_manifest) {
    std::set<std::string> problems;
    std::map<int, std::string> manifest_lines;
    {
        std::istringstream manifest(read_text(source("assets/skin/manifest.txt")));
        for (std::string line; std::getline(manifest, line);) {
            manifest_lines[std::stoi(line)] = line;
        }
    }
    int checked = 0;
    for (const char* library : libraries) {
        for (const auto& [id, bytes] :
             library_pictures(fs::path(MORVIK_SKIN_DIR) / (library_file_name(library) + ".dll"), problems)) {
            const skin_row* row = table().find(id);
            ASSERT_NE(row, nullptr) << id;
            EXPECT_EQ(row->library, library) << id;
            bool alpha = false;
            const skin_canvas picture = decode_png(bytes, alpha);
            EXPECT_EQ(alpha, row->alpha) << id << ": colour type";
            for (const std::string& rule : skin_checks::picture(*row, picture)) {
                ADD_FAILURE() << rule;
            }
            const std::string line = std::to_string(id) + " " + library + " " + std::to_string(row->width) + "x" +
                                     std::to_string(row->height) + " " + (alpha ? "RGBA" : "RGB") + " " +
                                     pixel_digest(picture, alpha);
            EXPECT_EQ(manifest_lines[id], line) << "assets/skin/manifest.txt is out of date for " << id
                                                << " (copy the build's skin_pictures/manifest.txt over it)";
            ++checked;
        }
    }
    EXPECT_EQ(checked, 391);
    EXPECT_EQ(manifest_lines.size(), 391u);
    for (const std::string& rule : skin_checks::table(table())) {
        ADD_FAILURE() << rule;
    }
    EXPECT_EQ(read_text(fs::path(MORVIK_SKIN_PICTURES) / "manifest.txt"),
              read_text(source("assets/skin/manifest.txt")));
    EXPECT_TRUE(problems.empty()) << *problems.begin();
}

struct screen_case {
    int width, height, dpi;
    int divisor; // 1: pictures at 1.0, 2: halved
};

class skin_images_sizes : public testing::TestWithParam<screen_case> {};

TEST_P(skin_images_sizes, every_id_comes_at_its_table_size) {
    const screen_case s = GetParam();
    zel::test::temp_app_folder folder;
    fs::copy(MORVIK_SKIN_DIR, folder.path() / "skin", fs::copy_options::recursive);
    const zel::form::skin_images images(s.width, s.height, s.dpi);
    for (int id : skin_checks::expected_ids()) {
        if (id <= 2003 && id >= 2001) {
            continue; // not registered: the logo reads them from the library itself
        }
        const skin_row* row = table().find(id);
        const auto image = images.get_image_by_id(id);
        ASSERT_TRUE(image) << id;
        EXPECT_EQ(image->width(), row->width / s.divisor) << id;
        EXPECT_EQ(image->height(), row->height / s.divisor) << id;
        EXPECT_FALSE(image->empty()) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(screens, skin_images_sizes,
                         testing::Values(screen_case{480, 800, 192, 1}, screen_case{240, 320, 96, 2}),
                         [](const testing::TestParamInfo<screen_case>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    "_at_" + std::to_string(info.param.dpi);
                         });

TEST(skin_generator, two_runs_give_the_same_pictures_and_libraries) {
    zel::test::temp_folder out;
    ASSERT_EQ(run(std::string(SKIN_GENERATE) + " " + source("assets/skin/pictures.table").string() + " " +
                  out.path().string()),
              0);
    for (const char* library : libraries) {
        const fs::path built = fs::path(MORVIK_SKIN_PICTURES) / library;
        int files = 0;
        for (const auto& entry : fs::directory_iterator(out.path() / library)) {
            EXPECT_EQ(read_bytes(entry.path()), read_bytes(built / entry.path().filename())) << entry.path();
            ++files;
        }
        EXPECT_EQ(files, std::distance(fs::directory_iterator(built), fs::directory_iterator())) << library;
        const fs::path dll = out.path() / (library_file_name(library) + ".dll");
        ASSERT_EQ(run(std::string(SKIN_PACK) + " " + dll.string() + " " + (out.path() / library).string()), 0);
        EXPECT_EQ(read_bytes(dll), read_bytes(fs::path(MORVIK_SKIN_DIR) / (library_file_name(library) + ".dll")))
            << library;
    }
    EXPECT_EQ(read_text(out.path() / "manifest.txt"), read_text(fs::path(MORVIK_SKIN_PICTURES) / "manifest.txt"));
}

TEST(skin_generator, a_bad_row_fails_naming_its_line_and_writes_nothing) {
    zel::test::temp_folder out;
    // The row of 2203 becomes an RGB picture with soft corners.
    std::istringstream table_text(read_text(source("assets/skin/pictures.table")));
    std::string changed;
    int line = 0, changed_line = 0;
    for (std::string text; std::getline(table_text, text);) {
        ++line;
        if (text.rfind("2203 ", 0) == 0) {
            text = "2203 help 170x120 RGB box r=12 face=well";
            changed_line = line;
        }
        changed += text + "\n";
    }
    ASSERT_NE(changed_line, 0);
    const fs::path bad = out.write("bad.table", changed);
    const fs::path log = out.path() / "log";
    EXPECT_EQ(run(std::string(SKIN_GENERATE) + " " + bad.string() + " " + (out.path() / "pictures").string() + " 2>" +
                  log.string()),
              1);
    EXPECT_NE(read_text(log).find("bad.table: 2203 (line " + std::to_string(changed_line) +
                                  "): an RGB picture with alpha below 255"),
              std::string::npos)
        << read_text(log);
    EXPECT_FALSE(fs::exists(out.path() / "pictures" / "manifest.txt"));

    const fs::path broken = out.write("broken.table", "# skin\n1001 button 4x4 A clear\n1002 button 4x A clear\n");
    EXPECT_EQ(run(std::string(SKIN_GENERATE) + " " + broken.string() + " " + (out.path() / "pictures").string() +
                  " 2>" + log.string()),
              1);
    EXPECT_NE(read_text(log).find("broken.table: line 3: bad size 4x"), std::string::npos) << read_text(log);
}

} // namespace
