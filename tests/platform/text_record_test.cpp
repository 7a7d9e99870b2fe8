// The record of drawn texts that screen tests install: what it sees of each DrawTextW, and what it leaves out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "test_canvas.h"

namespace {

struct drawn {
    std::wstring text;
    RECT r;
    COLORREF colour;
    UINT format;
};

struct record : platform::text_recorder {
    void drawn(const std::wstring& text, const RECT& r, COLORREF colour, UINT format) override {
        texts.push_back({text, r, colour, format});
    }
    std::vector<::drawn> texts;
};

TEST(text_record, sees_each_drawn_text_with_its_rectangle_colour_and_format_and_nothing_measured_or_clipped_away) {
    test::canvas canvas(40, 20);
    LOGFONTW lf{};
    lf.lfHeight = 10;
    std::wcscpy(lf.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&lf);
    SelectObject(canvas.dc(), font);
    SetTextColor(canvas.dc(), RGB(255, 195, 0));
    SetBkMode(canvas.dc(), TRANSPARENT);
    record seen;
    platform::set_text_recorder(&seen);

    RECT shown{2, 2, 38, 18};
    DrawTextW(canvas.dc(), L"Да!", 2, &shown, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT measured{0, 0, 0, 0};
    DrawTextW(canvas.dc(), L"мера", -1, &measured, DT_CALCRECT);
    RECT outside{50, 50, 90, 70}; // beyond the surface: nothing can be drawn
    DrawTextW(canvas.dc(), L"вне", -1, &outside, DT_SINGLELINE);
    platform::set_text_recorder(nullptr);
    RECT after{2, 2, 38, 18};
    DrawTextW(canvas.dc(), L"после", -1, &after, DT_SINGLELINE);
    DeleteObject(font);

    ASSERT_EQ(seen.texts.size(), 1u);
    EXPECT_EQ(seen.texts[0].text, L"Да");
    EXPECT_EQ(seen.texts[0].r.left, 2);
    EXPECT_EQ(seen.texts[0].r.top, 2);
    EXPECT_EQ(seen.texts[0].r.right, 38);
    EXPECT_EQ(seen.texts[0].r.bottom, 18);
    EXPECT_EQ(seen.texts[0].colour, RGB(255, 195, 0));
    EXPECT_EQ(seen.texts[0].format, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace
