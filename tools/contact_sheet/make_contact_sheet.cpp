// make_contact_sheet OUTPUT.png FOLDER: tiles every PNG of FOLDER (by name) into one picture, in a grid about as
// wide as it is high, each picture at its own size under a caption of its file name drawn in the real font, so
// that a person sees every screen of one size at once. Exit code 1 with a message when nothing can be made.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/png_file.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

struct picture {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

constexpr int gap = 24;
constexpr int caption_height = 44;
constexpr int caption_font = 32;
constexpr COLORREF sheet_colour = RGB(96, 96, 96);
constexpr COLORREF caption_colour = RGB(255, 255, 255);

std::vector<picture> read_folder(const fs::path& folder) {
    std::vector<picture> pictures;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        picture p;
        p.name = entry.path().stem().string();
        if (!platform::read_png(entry.path().string(), p.width, p.height, p.pixels)) {
            std::fprintf(stderr, "make_contact_sheet: %s is not a readable PNG, left out\n", entry.path().c_str());
            continue;
        }
        pictures.push_back(std::move(p));
    }
    std::sort(pictures.begin(), pictures.end(), [](const picture& a, const picture& b) { return a.name < b.name; });
    return pictures;
}

std::wstring widened(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_contact_sheet OUTPUT.png FOLDER\n");
        return 1;
    }
    std::error_code error;
    if (!fs::is_directory(argv[2], error)) {
        std::fprintf(stderr, "make_contact_sheet: %s is not a folder\n", argv[2]);
        return 1;
    }
    const std::vector<picture> pictures = read_folder(argv[2]);
    if (pictures.empty()) {
        std::fprintf(stderr, "make_contact_sheet: no PNG in %s\n", argv[2]);
        return 1;
    }
    int cell_width = 0;
    int cell_height = 0;
    for (const picture& p : pictures) {
        cell_width = std::max(cell_width, p.width);
        cell_height = std::max(cell_height, p.height);
    }
    cell_width += gap;
    cell_height += gap + caption_height;
    const double count = static_cast<double>(pictures.size());
    const int columns = std::clamp(static_cast<int>(std::lround(std::sqrt(count * cell_height / cell_width))), 1,
                                   static_cast<int>(pictures.size()));
    const int rows = (static_cast<int>(pictures.size()) + columns - 1) / columns;
    const int width = columns * cell_width + gap;
    const int height = rows * cell_height + gap;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap || !bits) {
        std::fprintf(stderr, "make_contact_sheet: no surface of %dx%d\n", width, height);
        return 1;
    }
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HBRUSH background = CreateSolidBrush(sheet_colour);
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, background);
    DeleteObject(background);

    LOGFONTW logfont{};
    logfont.lfHeight = caption_font;
    logfont.lfWeight = FW_BOLD;
    const wchar_t face[] = L"Tahoma";
    std::copy(std::begin(face), std::end(face), logfont.lfFaceName);
    HFONT font = CreateFontIndirectW(&logfont);
    HGDIOBJ old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, caption_colour);

    auto* sheet = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const picture& p = pictures[i];
        const int left = gap + static_cast<int>(i % columns) * cell_width;
        const int top = gap + static_cast<int>(i / columns) * cell_height;
        RECT caption{left, top, left + cell_width - gap, top + caption_height};
        const std::wstring name = widened(p.name);
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &caption,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_WORD_ELLIPSIS);
        for (int y = 0; y < p.height; ++y) {
            std::copy_n(p.pixels.begin() + static_cast<std::ptrdiff_t>(y) * p.width, p.width,
                        sheet + static_cast<std::ptrdiff_t>(top + caption_height + y) * width + left);
        }
    }
    SelectObject(dc, old_font);
    DeleteObject(font);

    std::vector<std::uint32_t> pixels(sheet, sheet + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    if (!platform::write_png(argv[1], width, height, pixels)) {
        std::fprintf(stderr, "make_contact_sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %zu screens, %d x %d\n", argv[1], pictures.size(), width, height);
    return 0;
}
