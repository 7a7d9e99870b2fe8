#include "tests/support/golden.h"

#include <cstdlib>
#include <filesystem>

#include "platform/png_file.h"

namespace zel::test {

bool read_png(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels) {
    return platform::read_png(path, width, height, pixels);
}

std::string compare_with_golden(const std::string& folder, const std::string& name, int width, int height,
                                const std::vector<std::uint32_t>& pixels) {
    const char* source = std::getenv("MORVIK_SOURCE_DIR");
    const std::string golden = std::string(source ? source : ".") + "/" + folder + "/" + name + ".png";
    const char* update = std::getenv("MORVIK_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(golden).parent_path(), ignored);
        return platform::write_png(golden, width, height, pixels) ? "" : "cannot write " + golden;
    }
    int gw = 0, gh = 0;
    std::vector<std::uint32_t> expected;
    const bool readable = read_png(golden, gw, gh, expected);
    if (readable && gw == width && gh == height && expected == pixels) {
        return "";
    }
    const std::string actual = name + ".actual.png";
    platform::write_png(actual, width, height, pixels);
    std::string result = "picture differs from " + golden + "; the actual one is " + actual;
    if (!readable) {
        return result + " (the golden file cannot be read)";
    }
    if (gw != width || gh != height) {
        return result + " (golden " + std::to_string(gw) + "x" + std::to_string(gh) + ", actual " +
               std::to_string(width) + "x" + std::to_string(height) + ")";
    }
    std::vector<std::uint32_t> diff(pixels.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != expected[i]) {
            diff[i] = 0xFF0000;
            ++differing;
        } else {
            diff[i] = (pixels[i] >> 2) & 0x3F3F3F;
        }
    }
    const std::string difference = name + ".diff.png";
    platform::write_png(difference, width, height, diff);
    return result + ", " + std::to_string(differing) + " pixels differ (in red in " + difference + ")";
}

} // namespace zel::test
