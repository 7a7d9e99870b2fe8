#include "test_canvas.h"

#include "platform/gdi/gdi_object.h"

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

} // namespace test
