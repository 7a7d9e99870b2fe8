// Every picture of the default skin as the program draws it: through skin_images and Image onto a Graphics
// surface over the slate background, in id order (the logo's three first, read from the help library as the
// logo does). The sheet at scale 1.0 is a golden picture; both scales are written to the working folder for
// review (skin_contact_sheet_1.0.png, skin_contact_sheet_0.5.png).
#include <gtest/gtest.h>

#include <filesystem>

#include "form/drawing/brush_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "platform/gdi.h"
#include "platform/png_file.h"
#include "tests/support/golden.h"
#include "tests/support/temp_app_folder.h"
#include "tools/skin/skin_checks.h"

namespace fs = std::filesystem;

namespace {

struct sheet {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Lays the pictures in rows of the sheet's width, 4 px apart, and draws them.
sheet draw_sheet(int width, int height, int dpi, const fs::path& folder) {
    const zel::form::skin_images images(width, height, dpi);
    const float scale = images.scale();
    std::vector<std::shared_ptr<zel::form::Image>> pictures;
    for (int id : skin_tools::skin_checks::expected_ids()) {
        if (id >= 2001 && id <= 2003) {
            pictures.push_back(zel::form::Image::construct_scaled(id,
                                                                  (folder / "skin" / "skin_black_help.dll").wstring(),
                                                                  zel::form::Image::format_png, scale, scale, true));
        } else {
            pictures.push_back(images.get_image_by_id(id));
        }
    }
    const int sheet_width = static_cast<int>(1000 * scale), gap = 4;
    struct place {
        int x, y;
    };
    std::vector<place> places;
    int x = gap, y = gap, row_height = 0;
    for (const auto& picture : pictures) {
        if (x + picture->width() + gap > sheet_width && x > gap) {
            x = gap, y += row_height + gap, row_height = 0;
        }
        places.push_back({x, y});
        x += picture->width() + gap;
        row_height = std::max(row_height, picture->height());
    }
    sheet out{sheet_width, y + row_height + gap, {}};
    zel::form::Graphics g(out.width, out.height, nullptr);
    g.fill_rect({0, 0, out.width, out.height}, zel::form::brush_holder({31, 37, 45}));
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        pictures[i]->draw(g, places[i].x, places[i].y);
    }
    out.pixels.reserve(static_cast<std::size_t>(out.width) * out.height);
    for (int py = 0; py < out.height; ++py) {
        for (int px = 0; px < out.width; ++px) {
            const COLORREF c = GetPixel(g.dc(), px, py);
            out.pixels.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        }
    }
    return out;
}

TEST(skin_contact_sheet, shows_every_picture_at_both_scales) {
    zel::test::temp_app_folder folder;
    fs::copy(MORVIK_SKIN_DIR, folder.path() / "skin", fs::copy_options::recursive);

    const sheet half = draw_sheet(240, 320, 96, folder.path());
    EXPECT_TRUE(platform::write_png("skin_contact_sheet_0.5.png", half.width, half.height, half.pixels));
    const sheet full = draw_sheet(480, 800, 192, folder.path());
    EXPECT_TRUE(platform::write_png("skin_contact_sheet_1.0.png", full.width, full.height, full.pixels));
    EXPECT_EQ(half.width * 2, full.width);

    EXPECT_EQ(
        zel::test::compare_with_golden("tests/form/golden", "skin_contact_sheet", full.width, full.height, full.pixels),
        "");
}

} // namespace
