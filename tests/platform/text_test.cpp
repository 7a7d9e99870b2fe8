// Layout numbers of DrawTextW against Wine's Tahoma at a 20-pixel cell, and rendered snapshots.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/gdi/gdi_object.h"
#include "platform/text.h"
#include "platform/text/text_layout.h"
#include "test_canvas.h"

namespace {

HFONT tahoma(int height, int weight = FW_NORMAL) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = RUSSIAN_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    std::wcscpy(lf.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&lf);
}

class text_test : public ::testing::Test {
protected:
    void SetUp() override {
        LOGFONTW lf{};
        lf.lfHeight = 20;
        std::wcscpy(lf.lfFaceName, L"Tahoma");
        auto& engine = platform::font_engine::instance();
        std::lock_guard<std::mutex> lock(engine.lock());
        font_ = engine.font_for(lf);
        if (!font_ || font_->file().find("tahoma.ttf") == std::string::npos) {
            GTEST_SKIP() << "Wine's Tahoma (fonts-wine) is not installed";
        }
    }

    platform::text_layout lay_out(const wchar_t* text, RECT r, UINT flags) {
        std::lock_guard<std::mutex> lock(platform::font_engine::instance().lock());
        return platform::lay_out_text(*font_, text, std::wcslen(text), r, flags);
    }

    platform::sized_font* font_ = nullptr;
};

TEST_F(text_test, heights_follow_cell_and_character_sizes_and_weights_pick_faces) {
    auto& engine = platform::font_engine::instance();
    std::lock_guard<std::mutex> lock(engine.lock());
    struct row {
        int height, weight, line, ascent;
        const char* file;
    };
    for (const row& r : {row{20, 400, 20, 17, "tahoma.ttf"}, row{-20, 400, 24, 20, "tahoma.ttf"},
                         row{20, 700, 20, 17, "tahomabd.ttf"}, row{20, 500, 20, 17, "tahoma.ttf"}}) {
        LOGFONTW lf{};
        lf.lfHeight = r.height;
        lf.lfWeight = r.weight;
        std::wcscpy(lf.lfFaceName, L"Tahoma");
        platform::sized_font* f = engine.font_for(lf);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->height(), r.line) << r.height;
        EXPECT_EQ(f->ascent(), r.ascent) << r.height;
        EXPECT_NE(f->file().find(std::string("/") + r.file), std::string::npos) << r.weight;
    }
}

TEST_F(text_test, positions_by_alignment_flags) {
    // "Hello" advances 11 + 10 + 4 + 4 + 10 = 39 pixels.
    const RECT r{10, 5, 110, 45};
    struct row {
        UINT flags;
        int x, y;
    };
    for (const row& k : {row{0, 10, 5}, row{DT_CENTER, 40, 5}, row{DT_RIGHT, 71, 5},
                         row{DT_SINGLELINE | DT_VCENTER, 10, 15}, row{DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 71, 25},
                         row{DT_VCENTER | DT_CENTER, 40, 5} /* no single line: vertical flags do nothing */}) {
        auto layout = lay_out(L"Hello", r, k.flags);
        ASSERT_EQ(layout.lines.size(), 1u);
        EXPECT_EQ(layout.lines[0].width, 39);
        EXPECT_EQ(layout.lines[0].x, k.x) << k.flags;
        EXPECT_EQ(layout.lines[0].y, k.y) << k.flags;
    }
    // Centring a line wider than the rectangle overflows both sides.
    EXPECT_EQ(lay_out(L"Hello", {0, 0, 9, 20}, DT_CENTER).lines[0].x, -15);
}

TEST_F(text_test, line_breaks_prefixes_and_ellipsis) {
    auto lines = lay_out(L"He\nllo\r\nH\n", {0, 0, 100, 100}, DT_CENTER);
    ASSERT_EQ(lines.lines.size(), 3u);
    EXPECT_EQ(lines.width, 21);
    EXPECT_EQ(lines.height, 60);
    EXPECT_EQ(lines.lines[1].chars, U"llo");
    EXPECT_EQ(lines.lines[2].y, 40);
    EXPECT_EQ(lay_out(L"a\nb", {0, 0, 100, 100}, DT_SINGLELINE).lines.size(), 1u);

    auto prefixed = lay_out(L"&&a&bc&", {0, 0, 100, 20}, 0);
    EXPECT_EQ(prefixed.lines[0].chars, U"&abc");
    EXPECT_EQ(prefixed.lines[0].underline, 2);
    EXPECT_EQ(lay_out(L"&&a&bc&", {0, 0, 100, 20}, DT_NOPREFIX).lines[0].chars, U"&&a&bc&");

    // 30 pixels: "Hello" (39) is cut to "H" (11) and "..." (15).
    auto cut = lay_out(L"Hello", {0, 0, 30, 20}, DT_SINGLELINE | DT_WORD_ELLIPSIS);
    EXPECT_EQ(cut.lines[0].chars, U"H...");
    EXPECT_EQ(cut.lines[0].width, 26);
    EXPECT_EQ(lay_out(L"Hello", {0, 0, 39, 20}, DT_SINGLELINE | DT_WORD_ELLIPSIS).lines[0].chars, U"Hello");
    // The blank before the cut goes too.
    EXPECT_EQ(lay_out(L"He llo", {0, 0, 41, 20}, DT_SINGLELINE | DT_WORD_ELLIPSIS).lines[0].chars, U"He...");
    EXPECT_EQ(lay_out(L"Hello", {0, 0, 5, 20}, DT_SINGLELINE | DT_WORD_ELLIPSIS).lines[0].chars, U"...");
}

TEST_F(text_test, calcrect_measures_what_drawing_lays_out) {
    test::canvas c(4, 4);
    HFONT font = tahoma(20);
    HGDIOBJ old = SelectObject(c.dc(), font);
    RECT r{3, 4, 3, 4};
    EXPECT_EQ(DrawTextW(c.dc(), L"Hello", -1, &r, DT_CALCRECT), 20);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{3, 4, 42, 24}));
    // No ellipsis while measuring, and an empty text is one empty line.
    r = {0, 0, 10, 0};
    DrawTextW(c.dc(), L"Hello", 5, &r, DT_CALCRECT | DT_SINGLELINE | DT_WORD_ELLIPSIS);
    EXPECT_EQ(r.right, 39);
    r = {0, 0, 0, 0};
    EXPECT_EQ(DrawTextW(c.dc(), L"", -1, &r, DT_CALCRECT), 20);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 20);
    r = {0, 0, 100, 100};
    EXPECT_EQ(DrawTextW(c.dc(), L"He\nllo", -1, &r, DT_CALCRECT), 40);
    EXPECT_EQ(r.right, 21);
    // Drawing returns the offset from the top to the text's bottom.
    r = {0, 5, 100, 45};
    EXPECT_EQ(DrawTextW(c.dc(), L"Hello", -1, &r, DT_SINGLELINE | DT_VCENTER), 30);
    EXPECT_EQ(DrawTextW(nullptr, L"Hello", -1, &r, 0), 0);
    SelectObject(c.dc(), old);
    DeleteObject(font);
}

TEST_F(text_test, measuring_from_several_threads_agrees) {
    const std::vector<std::wstring> texts{L"Hello", L"Привет, мир", L"Заказ принят\nЖдите", L"1234567890"};
    auto measure = [&](std::vector<LONG>& out) {
        HDC dc = GetDC(nullptr);
        for (int round = 0; round < 50; ++round) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                HFONT font = tahoma(18 + static_cast<int>(i) * 3, i % 2 ? FW_BOLD : FW_NORMAL);
                HGDIOBJ old = SelectObject(dc, font);
                RECT r{0, 0, 0, 0};
                DrawTextW(dc, texts[i].c_str(), -1, &r, DT_CALCRECT);
                SelectObject(dc, old);
                DeleteObject(font);
                if (round == 0) {
                    out.push_back(r.right);
                    out.push_back(r.bottom);
                }
            }
        }
        ReleaseDC(nullptr, dc);
    };
    std::vector<LONG> expected;
    measure(expected);
    std::vector<std::vector<LONG>> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results) {
        threads.emplace_back(measure, std::ref(r));
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const auto& r : results) {
        EXPECT_EQ(r, expected);
    }
}

std::vector<std::uint32_t> pixels_of(const test::canvas& c, int w, int h) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            COLORREF p = c.at(x, y);
            out.push_back(GetRValue(p) << 16 | GetGValue(p) << 8 | GetBValue(p));
        }
    }
    return out;
}

TEST_F(text_test, snapshot_of_cyrillic_text_in_both_weights_modes_and_flags) {
    const int w = 200, h = 96;
    test::canvas c(w, h, RGB(31, 37, 45));
    HFONT normal = tahoma(20);
    HFONT bold = tahoma(-20, FW_BOLD);
    HGDIOBJ old = SelectObject(c.dc(), normal);
    SetTextColor(c.dc(), RGB(255, 255, 255));
    SetBkMode(c.dc(), TRANSPARENT);
    RECT r{4, 0, 196, 24};
    DrawTextW(c.dc(), L"Привет, мир! &Ок", -1, &r, DT_SINGLELINE | DT_VCENTER);
    SelectObject(c.dc(), bold);
    SetTextColor(c.dc(), RGB(254, 220, 0));
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), RGB(0, 0, 0));
    r = {0, 24, 200, 48};
    DrawTextW(c.dc(), L"Ёжик", -1, &r, DT_SINGLELINE | DT_CENTER);
    SelectObject(c.dc(), normal);
    SetBkMode(c.dc(), TRANSPARENT);
    SetTextColor(c.dc(), RGB(149, 149, 149));
    r = {20, 48, 120, 96};
    DrawTextW(c.dc(), L"Подтвердить предварительный заказ", -1, &r,
              DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_WORD_ELLIPSIS);
    r = {120, 40, 200, 70}; // clipped at the rectangle's top and right
    DrawTextW(c.dc(), L"Такси\nЕдем", -1, &r, DT_RIGHT);
    SelectObject(c.dc(), old);
    DeleteObject(normal);
    DeleteObject(bold);
    const std::string failure = test::compare_with_golden("text_cyrillic", w, h, pixels_of(c, w, h));
    EXPECT_EQ(failure, "");
}

} // namespace
