#include "form/controls/plate_box.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int plate_ids[3] = {2006, 2007, 2008};

// Design lengths from the plate's corner: the band of series and number, the region's band.
constexpr double band_left = 20.0;
constexpr double band_top = 10.0;
constexpr double band_width = 140.0;
constexpr double band_height = 36.0;
constexpr double region_left = 175.0;
constexpr double region_top = 13.0;
constexpr double region_width = 41.0;
constexpr double region_height = 20.0;

constexpr double series_font = 28.0;
constexpr double number_font = 33.0;
constexpr double region_font = 18.0; // character height
constexpr UINT left_bottom = 0x28;
constexpr UINT right_bottom = 0x2A;
constexpr UINT centre_bottom = 0x29;

// Latin and Cyrillic letters, whatever the process's locale.
bool is_letter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= 0x0400 && c <= 0x04FF);
}

} // namespace

plate_box::plate_box(manager_2* form, const rect& r) : control(form, r) {
    for (int i = 0; i < 3; ++i) {
        plates_[i] = form_image(form, plate_ids[i]);
    }
}

void plate_box::set_text(const std::wstring& text) {
    if (text != text_) {
        text_ = text;
        invalidate();
    }
}

plate_box::layout plate_box::layout_for(const std::wstring& text) {
    layout out;
    const size_t n = text.size();
    const bool long_region = n == 11 && text[6] == L'[' && text[10] == L']';
    const bool short_region = n == 10 && text[6] == L'[' && text[9] == L']';
    if (!long_region && !short_region) {
        return out;
    }
    // The region is what stands between the brackets: three characters or two.
    const size_t region_length = long_region ? 3 : 2;
    if (is_letter(text[0]) && is_letter(text[1])) {
        out.kind = letters_first;
        out.pieces[0] = text.substr(0, 2);
        out.pieces[1] = text.substr(2, 3);
        out.pieces[2] = text.substr(5, 1);
    } else {
        out.kind = ordinary;
        out.pieces[0] = text.substr(0, 1);
        out.pieces[1] = text.substr(1, 3);
        out.pieces[2] = text.substr(4, 2);
    }
    out.pieces[3] = text.substr(7, region_length);
    return out;
}

void plate_box::paint(Graphics& g, const rect&, int dx, int dy) {
    if (visible_) {
        draw(g, rect_.x + dx, rect_.y + dy, text_);
    }
}

void plate_box::draw(Graphics& g, int x, int y, const std::wstring& text) {
    const float s = form_->get_scale();
    const layout shown = layout_for(text);
    plates_[shown.kind]->draw(g, x, y);

    const int top = static_cast<int>(y + band_top * s);
    const int height = static_cast<int>(band_height * s);
    if (shown.kind == plain) {
        font_holder font(static_cast<int>(number_font * s), 400);
        g.draw_text(
            font, rect{static_cast<int>(x + band_left * s), top, static_cast<int>(rect_.w - 2 * band_left * s), height},
            text, centre_bottom, TRANSPARENT, black);
        return;
    }
    const rect band{static_cast<int>(x + band_left * s), top, static_cast<int>(band_width * s), height};
    font_holder series(static_cast<int>(series_font * s), 400);
    g.draw_text(series, band, shown.pieces[0], left_bottom, TRANSPARENT, black);
    g.draw_text(series, band, shown.pieces[2], right_bottom, TRANSPARENT, black);
    // The number fills the space the two series leave, measured in their font.
    const int first = text_extent(form_->get_hwnd(), series, shown.pieces[0]).width;
    const int third = text_extent(form_->get_hwnd(), series, shown.pieces[2]).width;
    font_holder number(static_cast<int>(number_font * s), 400);
    g.draw_text(number, rect{band.x + first, top, band.w - (first + third), height}, shown.pieces[1], centre_bottom,
                TRANSPARENT, black);
    font_holder region(-static_cast<int>(region_font * s), 400);
    g.draw_text(region,
                rect{static_cast<int>(x + region_left * s), static_cast<int>(y + region_top * s),
                     static_cast<int>(region_width * s), static_cast<int>(region_height * s)},
                shown.pieces[3], left_bottom, TRANSPARENT, black);
}

} // namespace zel::form
