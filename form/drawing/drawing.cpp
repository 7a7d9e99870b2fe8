#include "form/drawing/drawing.h"

#include <algorithm>
#include <cmath>

#include "form/drawing/brush_holder.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

size text_extent(HWND window, const font_holder& font, const std::wstring& text) {
    HDC dc = GetDC(window);
    if (!dc) {
        return {};
    }
    HGDIOBJ old_font = SelectObject(dc, font.font());
    RECT area{0, 0, 0, 0};
    const int result = DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT);
    SelectObject(dc, old_font);
    ReleaseDC(window, dc);
    if (result == 0) {
        return {};
    }
    return {area.right - area.left, area.bottom - area.top};
}

namespace {

// The design size that fitted_font_height takes the height of.
double fitted_size(HWND window, const std::wstring& text, int width, int weight, double largest, double smallest,
                   float scale) {
    double last = largest;
    for (double n = largest; n >= smallest; n -= 1.0) {
        const int height = scaled(n, scale);
        // A font of height 0 is the mapper's default size, larger than the ones that did not fit.
        if (height <= 0) {
            break;
        }
        last = n;
        if (text_extent(window, font_holder(height, weight), text).width <= width) {
            return n;
        }
    }
    return last;
}

} // namespace

int fitted_font_height(HWND window, const std::wstring& text, int width, int weight, double largest, double smallest,
                       float scale) {
    return std::max(scaled(fitted_size(window, text, width, weight, largest, smallest, scale), scale), 1);
}

fitted_figure fit_figure(HWND window, std::int64_t value, int width, int weight, double largest, double smallest,
                         float scale) {
    // The last of the sizes that fitted_size tries.
    const int least = std::max(scaled(largest - std::floor(largest - smallest), scale), 1);
    auto fits = [&](const std::wstring& text) {
        return text_extent(window, font_holder(least, weight), text).width <= width;
    };
    std::wstring text = int64_to_wstring(value);
    if (!fits(text)) {
        const std::wstring sign = value < 0 ? L"-" : L"";
        // Fewer nines each time, down to one, which stands even where nothing fits.
        for (std::size_t nines = text.size() - sign.size(); nines-- > 1;) {
            text = sign + std::wstring(nines, L'9') + held_mark;
            if (fits(text)) {
                break;
            }
        }
    }
    const double size = fitted_size(window, text, width, weight, largest, smallest, scale);
    return {text, size, std::max(scaled(size, scale), 1)};
}

namespace {

struct frame_colours {
    rgb top, left, right, bottom, gradient_top, gradient_bottom;
};

constexpr rgb bevel_light{93, 96, 101};
constexpr rgb bevel_left{67, 70, 75};
constexpr rgb bevel_right{35, 37, 41};
constexpr rgb bevel_bottom{48, 48, 50};

frame_colours colours_of(int style) {
    switch (style) {
    case 0:
        return {bevel_light, bevel_left, bevel_right, bevel_bottom, {67, 70, 75}, {37, 38, 42}};
    case 1:
        return {bevel_light, bevel_left, bevel_right, bevel_bottom, {254, 220, 0}, {197, 163, 19}};
    case 2:
        return {bevel_light, bevel_left, bevel_right, bevel_bottom, {75, 143, 46}, {141, 193, 118}};
    case 3:
        return {{255, 178, 78}, {174, 73, 11}, {174, 73, 11}, {109, 18, 3}, {227, 117, 18}, {110, 20, 3}};
    default:
        return {bevel_light, bevel_left, bevel_right, bevel_bottom, {0, 0, 0}, {0, 0, 0}};
    }
}

void line(Graphics& g, point from, point to, const rgb& colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour.colorref());
    g.draw_line(from, to, pen);
    DeleteObject(pen);
}

} // namespace

void draw_gradient_frame(Graphics& g, const rect& r, int style) {
    const frame_colours c = colours_of(style);
    line(g, {r.x, r.y}, {r.x + r.w, r.y}, c.top);
    line(g, {r.x, r.y}, {r.x, r.y + r.h}, c.left);
    line(g, {r.x + r.w, r.y}, {r.x + r.w, r.y + r.h}, c.right);
    line(g, {r.x, r.y + r.h}, {r.x + r.w, r.y + r.h}, c.bottom);
    g.gradient_fill({r.x + 1, r.y + 1}, {r.x + r.w - 1, r.y + r.h - 1}, c.gradient_top, c.gradient_bottom, 1);
}

void paint_background_slate(Graphics& g, const rect& update) {
    brush_holder brush(slate_colour);
    g.fill_rect(update, brush);
}

void fill_inside(Graphics& g, const rect& area, const rect& update, const rgb& colour) {
    const int left = std::max(area.x, update.x);
    const int top = std::max(area.y, update.y);
    const int right = std::min(area.x + area.w, update.x + update.w);
    const int bottom = std::min(area.y + area.h, update.y + update.h);
    if (right > left && bottom > top) {
        // fill_rect covers one pixel more each way.
        g.fill_rect(rect{left, top, right - left - 1, bottom - top - 1}, brush_holder(colour));
    }
}

rect content_column(const rect& work, float scale) {
    const int buttons = scaled(220, scale);
    return rect{work.x, work.y, static_cast<int>(static_cast<float>(work.w - buttons) - 40.0f * scale), work.h};
}

rect button_column(const rect& work, float scale) {
    const int content = content_column(work, scale).w;
    return rect{work.x + content, work.y, work.w - content, work.h};
}

void paint_background_dark(Graphics& g, const rect& update) {
    brush_holder brush(dark_colour);
    g.fill_rect(update, brush);
}

} // namespace zel::form
