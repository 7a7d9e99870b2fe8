#include "tests/form/form_fixture.h"

#include <png.h>

#include "platform/gdi.h"
#include "tools/skin/resource_dll_writer.h"

namespace zel::test {

std::vector<std::uint8_t> png_bytes(int width, int height, const std::vector<std::uint32_t>& argb) {
    bool alpha = false;
    for (std::uint32_t p : argb) {
        alpha = alpha || (p >> 24) != 0xFF;
    }
    const int channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> raw;
    for (std::uint32_t p : argb) {
        raw.push_back(static_cast<std::uint8_t>(p >> 16));
        raw.push_back(static_cast<std::uint8_t>(p >> 8));
        raw.push_back(static_cast<std::uint8_t>(p));
        if (alpha) {
            raw.push_back(static_cast<std::uint8_t>(p >> 24));
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, raw.data(), width * channels, nullptr);
    std::vector<std::uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, raw.data(), width * channels, nullptr);
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> solid_png(int width, int height, std::uint32_t argb) {
    return png_bytes(width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb));
}

std::uint32_t pixel_at(const form::Graphics& g, int x, int y) {
    const COLORREF c = GetPixel(g.dc(), x, y);
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

std::vector<std::uint32_t> pixels_of(const form::Graphics& g) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < g.height(); ++y) {
        for (int x = 0; x < g.width(); ++x) {
            out.push_back(pixel_at(g, x, y));
        }
    }
    return out;
}

std::vector<std::string> rows_of(const form::Graphics& g, const std::map<std::uint32_t, char>& legend) {
    std::vector<std::string> out;
    for (int y = 0; y < g.height(); ++y) {
        std::string row;
        for (int x = 0; x < g.width(); ++x) {
            auto it = legend.find(pixel_at(g, x, y));
            row += it == legend.end() ? '?' : it->second;
        }
        out.push_back(row);
    }
    return out;
}

void mini_skin::write_library(const std::string& name, const std::map<int, std::vector<std::uint8_t>>& pictures) const {
    std::vector<skin_tools::resource_item> items;
    for (const auto& [id, bytes] : pictures) {
        skin_tools::resource_item item;
        item.type = std::u16string(u"PNG");
        item.name = static_cast<std::uint16_t>(id);
        item.data = bytes;
        items.push_back(std::move(item));
    }
    const auto dll = skin_tools::write_resource_dll(std::move(items));
    write("skin/" + name + ".dll", std::string(dll.begin(), dll.end()));
}

} // namespace zel::test
