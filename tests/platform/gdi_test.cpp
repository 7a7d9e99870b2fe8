// Pixel-exact tests of the drawing calls on tiny surfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "platform/gdi.h"
#include "test_canvas.h"

namespace {

using rows = std::vector<std::string>;
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF green = RGB(0, 255, 0);
constexpr COLORREF blue = RGB(0, 0, 255);
const std::map<COLORREF, char> legend{{black, '.'}, {red, 'r'}, {green, 'g'}, {blue, 'b'}};

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

TEST(gdi_fill, right_and_bottom_edges_are_exclusive_and_negative_origins_are_cut) {
    test::canvas c(5, 4);
    fill(c.dc(), {1, 1, 3, 3}, red);
    fill(c.dc(), {-2, -3, 1, 1}, green);
    fill(c.dc(), {4, 3, 9, 9}, blue);
    fill(c.dc(), {3, 0, 3, 4}, blue); // empty: zero width
    EXPECT_EQ(c.rows(legend), (rows{"g....", ".rr..", ".rr..", "....b"}));
}

TEST(gdi_fill, null_brush_and_stale_brush_draw_nothing) {
    test::canvas c(2, 1);
    RECT all{0, 0, 2, 1};
    EXPECT_EQ(FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 1);
    HBRUSH brush = CreateSolidBrush(red);
    DeleteObject(brush);
    EXPECT_EQ(FillRect(c.dc(), &all, brush), 0);
    EXPECT_EQ(c.rows(legend), (rows{".."}));
}

TEST(gdi_clip, intersect_get_clip_box_and_state_stack) {
    test::canvas c(5, 3);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
    EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}), (std::vector<LONG>{0, 0, 5, 3}));

    EXPECT_EQ(SaveDC(c.dc()), 1);
    EXPECT_EQ(IntersectClipRect(c.dc(), -3, -3, 4, 2), SIMPLEREGION);
    EXPECT_EQ(SaveDC(c.dc()), 2);
    EXPECT_EQ(IntersectClipRect(c.dc(), 1, 0, 9, 9), SIMPLEREGION);
    GetClipBox(c.dc(), &box);
    EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}), (std::vector<LONG>{1, 0, 4, 2}));
    fill(c.dc(), {0, 0, 5, 3}, red);

    EXPECT_TRUE(RestoreDC(c.dc(), -1)); // back to the first clip
    fill(c.dc(), {0, 1, 5, 3}, green);
    EXPECT_EQ(SaveDC(c.dc()), 2);
    EXPECT_TRUE(RestoreDC(c.dc(), 1)); // two levels at once: no clip any more
    EXPECT_FALSE(RestoreDC(c.dc(), -1));
    fill(c.dc(), {4, 2, 5, 3}, blue);
    EXPECT_EQ(c.rows(legend), (rows{".rrr.", "gggg.", "....b"}));

    EXPECT_EQ(IntersectClipRect(c.dc(), 7, 0, 9, 1), NULLREGION);
    EXPECT_EQ(GetClipBox(c.dc(), &box), NULLREGION);
    EXPECT_EQ(SetPixel(c.dc(), 0, 0, red), CLR_INVALID);
}

TEST(gdi_objects, select_returns_the_previous_object_and_restore_brings_objects_back) {
    test::canvas c(3, 1);
    HPEN pen = CreatePen(PS_SOLID, 1, red);
    HGDIOBJ old_pen = SelectObject(c.dc(), pen);
    EXPECT_EQ(old_pen, GetStockObject(BLACK_PEN));
    SaveDC(c.dc());
    HPEN pen2 = CreatePen(PS_SOLID, 1, green);
    EXPECT_EQ(SelectObject(c.dc(), pen2), pen);
    // Deleting a selected pen is deferred: it still draws until it is deselected.
    EXPECT_TRUE(DeleteObject(pen2));
    EXPECT_FALSE(DeleteObject(pen2));
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 1, 0);
    RestoreDC(c.dc(), -1); // brings back the red pen and the saved position (0, 0)
    MoveToEx(c.dc(), 1, 0, nullptr);
    LineTo(c.dc(), 2, 0);
    EXPECT_EQ(c.rows(legend), (rows{"gr."}));
    EXPECT_EQ(SelectObject(c.dc(), old_pen), pen);
    EXPECT_TRUE(DeleteObject(pen));
    // Stock objects survive deletion.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(FillRect(c.dc(), nullptr, nullptr), 0);
    RECT all{0, 0, 3, 1};
    EXPECT_EQ(FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_EQ(c.rows(legend), (rows{"..."}));
    EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
}

TEST(gdi_lines, end_pixel_is_left_and_steps_are_pinned) {
    test::canvas c(6, 6);
    HPEN pen = CreatePen(PS_SOLID, 1, red);
    HGDIOBJ old = SelectObject(c.dc(), pen);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 4, 0); // horizontal: x 0..3
    LineTo(c.dc(), 4, 3); // vertical from the last end: y 0..2 at x 4
    MoveToEx(c.dc(), 0, 5, nullptr);
    LineTo(c.dc(), 3, 2); // diagonal up: (0,5) (1,4) (2,3)
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 5, 3); // shallow: half steps round towards the start
    POINT previous;
    MoveToEx(c.dc(), -1, 5, &previous);
    EXPECT_EQ(previous.x, 5);
    EXPECT_EQ(previous.y, 3);
    LineTo(c.dc(), 9, 5); // runs off the surface on both ends
    SelectObject(c.dc(), old);
    DeleteObject(pen);
    EXPECT_EQ(c.rows(legend), (rows{"rrrrr.", ".rr.r.", "...rr.", "..r...", ".r....", "rrrrrr"}));
}

// The pixels of the plain unclipped walk, end point left out, in 64 bits.
std::vector<std::pair<long long, long long>> walked_line(long long x, long long y, long long x1, long long y1) {
    std::vector<std::pair<long long, long long>> out;
    const long long dx = x1 > x ? x1 - x : x - x1, sx = x < x1 ? 1 : -1;
    const long long dy = y1 > y ? y - y1 : y1 - y, sy = y < y1 ? 1 : -1;
    long long err = dx + dy;
    while (x != x1 || y != y1) {
        out.emplace_back(x, y);
        const long long e2 = 2 * err;
        if (e2 > dy) {
            err += dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
    return out;
}

// Lines are clipped before they are walked; what shows is exactly the part of the plain walk inside the clip,
// for every direction and for ends on and off the surface.
TEST(gdi_lines, clipped_lines_draw_the_same_pixels_as_the_whole_walk) {
    constexpr int width = 9, height = 7;
    const RECT clip{1, 2, 8, 6};
    const int xs[] = {-13, -1, 0, 1, 3, 4, 7, 8, 9, 22};
    const int ys[] = {-9, -1, 0, 2, 3, 5, 6, 7, 15};
    test::canvas c(width, height);
    HPEN pen = CreatePen(PS_SOLID, 1, red);
    HGDIOBJ old = SelectObject(c.dc(), pen);
    IntersectClipRect(c.dc(), clip.left, clip.top, clip.right, clip.bottom);
    int failures = 0;
    for (int x0 : xs) {
        for (int y0 : ys) {
            for (int x1 : xs) {
                for (int y1 : ys) {
                    fill(c.dc(), {0, 0, width, height}, black);
                    MoveToEx(c.dc(), x0, y0, nullptr);
                    LineTo(c.dc(), x1, y1);
                    std::vector<std::string> want(height, std::string(width, '.'));
                    for (auto [x, y] : walked_line(x0, y0, x1, y1)) {
                        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
                            want[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = 'r';
                        }
                    }
                    if (c.rows(legend) != want && ++failures <= 5) {
                        ADD_FAILURE() << "line (" << x0 << "," << y0 << ") to (" << x1 << "," << y1 << ")";
                    }
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
    SelectObject(c.dc(), old);
    DeleteObject(pen);
}

// Ends billions of pixels apart: the differences do not fit an int, and only the visible part is walked.
TEST(gdi_lines, lines_with_far_ends_draw_their_visible_part) {
    struct far_line {
        int x0, y0, x1, y1;
        rows want;
    };
    constexpr int low = std::numeric_limits<int>::min();
    constexpr int high = std::numeric_limits<int>::max();
    const far_line cases[] = {
        {low, 1, high, 1, {"....", "rrrr", "....", "...."}},
        {high, 2, low, 2, {"....", "....", "rrrr", "...."}},
        {2, low, 2, high, {"..r.", "..r.", "..r.", "..r."}},
        {-1000000000, -1000000000, 1000000000, 1000000000, {"r...", ".r..", "..r.", "...r"}},
        {1000000000, -1000000000, -1000000000, 1000000000, {"r...", "....", "....", "...."}},
        {low, low, high, high, {"r...", ".r..", "..r.", "...r"}},
        {low + 3, high, high, low + 3, {"..r.", ".r..", "r...", "...."}},
        {low, 0, high, 3, {"....", "....", "rrrr", "...."}}, // halfway at x 0: two of the three steps down taken
    };
    for (const far_line& line : cases) {
        test::canvas c(4, 4);
        HPEN pen = CreatePen(PS_SOLID, 1, red);
        HGDIOBJ old = SelectObject(c.dc(), pen);
        MoveToEx(c.dc(), line.x0, line.y0, nullptr);
        EXPECT_TRUE(LineTo(c.dc(), line.x1, line.y1));
        EXPECT_EQ(c.rows(legend), line.want) << line.x0 << "," << line.y0 << " to " << line.x1 << "," << line.y1;
        SelectObject(c.dc(), old);
        DeleteObject(pen);
    }
}

TEST(gdi_pixels, set_pixel_returns_the_colour_and_fails_outside) {
    test::canvas c(2, 2);
    EXPECT_EQ(SetPixel(c.dc(), 1, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(c.at(1, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc(), 1, 0), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(c.dc(), 2, 0, red), CLR_INVALID);
    EXPECT_EQ(SetPixel(c.dc(), -1, 0, red), CLR_INVALID);
}

TEST(gdi_gradient, rounding_rule_direction_and_clip) {
    test::canvas c(4, 3);
    TRIVERTEX v[2] = {{0, 0, 0, 0xFF00, 0, 0}, {4, 1, 0xFF00, 0, 0x1000, 0}};
    GRADIENT_RECT mesh{0, 1};
    ASSERT_TRUE(GradientFill(c.dc(), v, 2, &mesh, 1, GRADIENT_FILL_RECT_H));
    // red: 0xFF00 * i / 4 >> 8 = 0, 63, 127, 191; green falls; blue 0x1000 * i / 4 >> 8 = 0, 4, 8, 12
    EXPECT_EQ(c.at(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(c.at(1, 0), RGB(63, 191, 4));
    EXPECT_EQ(c.at(2, 0), RGB(127, 127, 8));
    EXPECT_EQ(c.at(3, 0), RGB(191, 63, 12));
    EXPECT_EQ(c.at(0, 1), black);

    // Vertical with the corners given in the other order: the top colour is the upper vertex's.
    TRIVERTEX w[2] = {{2, 3, 0, 0, 0xFF00, 0}, {0, 1, 0xFF00, 0, 0, 0}};
    SaveDC(c.dc());
    IntersectClipRect(c.dc(), 1, 0, 4, 3);
    ASSERT_TRUE(GradientFill(c.dc(), w, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    RestoreDC(c.dc(), -1);
    EXPECT_EQ(c.at(0, 1), black);
    EXPECT_EQ(c.at(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(c.at(1, 2), RGB(127, 0, 127));
    EXPECT_EQ(c.at(2, 1), black); // right of the gradient's rectangle
    GRADIENT_RECT bad{0, 5};
    EXPECT_FALSE(GradientFill(c.dc(), w, 2, &bad, 1, GRADIENT_FILL_RECT_V));
}

TEST(gdi_blit, clips_to_destination_and_source_and_handles_overlap) {
    test::canvas src(3, 2);
    SetPixel(src.dc(), 0, 0, red);
    SetPixel(src.dc(), 1, 0, green);
    SetPixel(src.dc(), 2, 1, blue);
    test::canvas dst(4, 3);
    // Source origin -1: the first column has no source and stays as it was.
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 2, src.dc(), -1, 0, SRCCOPY));
    EXPECT_EQ(dst.rows(legend), (rows{".rg.", "...b", "...."}));
    // Destination at negative origin.
    test::canvas d2(2, 2);
    ASSERT_TRUE(BitBlt(d2.dc(), -1, 0, 3, 2, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(d2.rows(legend), (rows{"g.", ".b"}));
    // Within one surface, down by one row: rows are copied bottom first.
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 1, 4, 2, dst.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dst.rows(legend), (rows{".rg.", ".rg.", "...b"}));
    // And right by one column.
    ASSERT_TRUE(BitBlt(dst.dc(), 1, 0, 3, 1, dst.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dst.rows(legend), (rows{"..rg", ".rg.", "...b"}));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 0x00EE0086));
}

BITMAPINFO* header(std::vector<std::uint8_t>& storage, int width, int height, int bpp,
                   std::vector<RGBQUAD> palette = {}) {
    storage.assign(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD) + 4, 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info->bmiHeader.biClrUsed = static_cast<DWORD>(palette.size());
    if (!palette.empty()) {
        std::memcpy(storage.data() + sizeof(BITMAPINFOHEADER), palette.data(), palette.size() * sizeof(RGBQUAD));
    }
    return info;
}

const std::vector<RGBQUAD> palette{{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};

TEST(gdi_dib, bottom_up_dibs_of_every_depth_land_the_same) {
    // Every case holds the same 3 x 2 picture: top row red green blue, bottom row blue black red. Rows are
    // bottom-up and padded to 4 bytes.
    struct dib_case {
        int bpp;
        std::vector<std::uint8_t> bits;
    };
    const std::vector<dib_case> cases{
        {1, {}},
        {4, {0x30, 0x10, 0, 0, 0x12, 0x30, 0, 0}},
        {8, {3, 0, 1, 0, 1, 2, 3, 0}},
        {24, {255, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}},
        {32, {255, 0, 0, 9, 0, 0, 0, 9, 0, 0, 255, 9, 0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9}},
    };
    for (const auto& k : cases) {
        if (k.bpp == 1) {
            continue; // two colours only: tested below
        }
        SCOPED_TRACE(k.bpp);
        std::vector<std::uint8_t> storage;
        BITMAPINFO* info = header(storage, 3, 2, k.bpp, k.bpp <= 8 ? palette : std::vector<RGBQUAD>{});
        test::canvas c(4, 3, RGB(1, 1, 1));
        EXPECT_EQ(SetDIBitsToDevice(c.dc(), 1, 1, 3, 2, 0, 0, 0, 2, k.bits.data(), info, DIB_RGB_COLORS), 2);
        std::map<COLORREF, char> l = legend;
        l[RGB(1, 1, 1)] = '_';
        EXPECT_EQ(c.rows(l), (rows{"____", "_rgb", "_b.r"}));
    }
}

TEST(gdi_dib, one_bit_source_offsets_partial_scans_and_clipping) {
    std::vector<std::uint8_t> storage;
    BITMAPINFO* info = header(storage, 10, 3, 1, {{0, 0, 0, 0}, {0, 0, 255, 0}});
    // Rows bottom-up: 1010000000, 0100000001, 1111111111 (top)
    const std::uint8_t bits[] = {0xA0, 0x00, 0, 0, 0x40, 0x40, 0, 0, 0xFF, 0xC0, 0, 0};
    test::canvas c(4, 2);
    // Source rectangle 3 x 2 whose lower-left corner is column 7, row 1 from the bottom; drawn at x = -1.
    EXPECT_EQ(SetDIBitsToDevice(c.dc(), -1, 0, 4, 2, 7, 1, 0, 3, bits, info, DIB_RGB_COLORS), 3);
    EXPECT_EQ(c.rows(legend), (rows{"rr..", ".r.."}));
    // Only scan lines 1 and 2 given, starting at the second row of memory: the bottom row is not drawn.
    test::canvas d(3, 3, green);
    EXPECT_EQ(SetDIBitsToDevice(d.dc(), 0, 0, 3, 3, 0, 0, 1, 2, bits + 4, info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(d.rows(legend), (rows{"rrr", ".r.", "ggg"}));
    EXPECT_EQ(SetDIBitsToDevice(d.dc(), 0, 0, 3, 3, 0, 0, 0, 3, bits, info, 1), 0);
}

TEST(gdi_dib, section_of_24_bits_reads_back_a_blit_bottom_up) {
    test::canvas src(2, 2);
    SetPixel(src.dc(), 0, 0, RGB(10, 20, 30));
    SetPixel(src.dc(), 1, 1, RGB(40, 50, 60));
    std::vector<std::uint8_t> storage;
    BITMAPINFO* info = header(storage, 2, 2, 24);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(src.dc(), info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC mem = CreateCompatibleDC(src.dc());
    HGDIOBJ old = SelectObject(mem, section);
    ASSERT_TRUE(BitBlt(mem, 0, 0, 2, 2, src.dc(), 0, 0, SRCCOPY));
    const auto* b = static_cast<const std::uint8_t*>(bits);
    // Memory row 0 is the bottom row: black, then (40, 50, 60) as blue, green, red; rows padded to 8 bytes.
    EXPECT_EQ((std::vector<int>(b, b + 16)), (std::vector<int>{0, 0, 0, 60, 50, 40, 0, 0, 30, 20, 10, 0, 0, 0, 0, 0}));
    // And back out through the caller's pointer: the section's bits drawn as a DIB give the same picture.
    test::canvas out(2, 2);
    SetDIBitsToDevice(out.dc(), 0, 0, 2, 2, 0, 0, 0, 2, bits, info, DIB_RGB_COLORS);
    EXPECT_EQ(out.at(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(out.at(1, 1), RGB(40, 50, 60));
    SelectObject(mem, old);
    DeleteObject(section);
    DeleteDC(mem);

    info->bmiHeader.biBitCount = 16;
    EXPECT_EQ(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info->bmiHeader.biBitCount = 32;
    info->bmiHeader.biWidth = 1 << 20;
    EXPECT_EQ(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(gdi_dc, null_window_context_measures_but_has_nothing_to_draw_on) {
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_GT(GetDeviceCaps(dc, LOGPIXELSX), 0);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
    EXPECT_EQ(SelectObject(dc, CreateCompatibleBitmap(dc, 1, 1)), nullptr); // bitmaps only go into memory DCs
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
}

} // namespace
