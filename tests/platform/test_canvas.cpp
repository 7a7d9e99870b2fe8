#include "test_canvas.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/gdi/gdi_object.h"
#include "platform/png_file.h"

namespace test {

canvas::canvas(int width, int height, COLORREF background) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

canvas::~canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF canvas::at(int x, int y) const {
    auto* b = platform::gdi_registry::instance().find<platform::bitmap_object>(bitmap_, platform::gdi_kind::bitmap);
    return platform::pixel_to_colour(b->pixels->get(x, y));
}

std::vector<std::string> canvas::rows(const std::map<COLORREF, char>& legend) const {
    std::vector<std::string> out;
    for (int y = 0; y < height_; ++y) {
        std::string row;
        for (int x = 0; x < width_; ++x) {
            auto it = legend.find(at(x, y));
            row += it == legend.end() ? '?' : it->second;
        }
        out.push_back(row);
    }
    return out;
}

bool read_png(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint32_t>(bytes[i * 3]) << 16 | bytes[i * 3 + 1] << 8 | bytes[i * 3 + 2];
    }
    return true;
}

std::string compare_with_golden(const std::string& name, int width, int height,
                                const std::vector<std::uint32_t>& pixels) {
    const char* source = std::getenv("MORVIK_SOURCE_DIR");
    const std::string golden = std::string(source ? source : ".") + "/tests/platform/golden/" + name + ".png";
    const char* update = std::getenv("MORVIK_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        return platform::write_png(golden, width, height, pixels) ? "" : "cannot write " + golden;
    }
    int gw = 0, gh = 0;
    std::vector<std::uint32_t> expected;
    if (read_png(golden, gw, gh, expected) && gw == width && gh == height && expected == pixels) {
        return "";
    }
    const std::string actual = name + ".actual.png";
    platform::write_png(actual, width, height, pixels);
    return "picture differs from " + golden + "; the actual one is " + actual;
}

} // namespace test
