#include "form/drawing/graphics.h"

#include "form/drawing/brush_holder.h"
#include "form/drawing/font_holder.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

COLOR16 channel16(int value) {
    return static_cast<COLOR16>((value & 0xFF) << 8);
}

} // namespace

Graphics::Graphics(int width, int height, HDC source) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(source);
    bitmap_ = CreateCompatibleBitmap(source ? source : dc_, width, height);
    old_bitmap_ = SelectObject(dc_, bitmap_);
}

Graphics::Graphics(borrowed_tag, HDC dc, int width, int height)
    : width_(width), height_(height), dc_(dc), borrowed_(true) {}

Graphics Graphics::borrow(HDC dc, int width, int height) {
    return Graphics(borrowed_tag{}, dc, width, height);
}

Graphics::~Graphics() {
    if (borrowed_) {
        return;
    }
    if (dc_ && old_bitmap_) {
        SelectObject(dc_, old_bitmap_);
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
    }
    if (dc_) {
        DeleteDC(dc_);
    }
}

void Graphics::blit_to_dc(HDC target, const rect& r) const {
    BitBlt(target, r.x, r.y, r.w, r.h, dc_, 0, 0, SRCCOPY);
}

void Graphics::blit_to(Graphics& target, const rect& r, int source_x, int source_y) const {
    BitBlt(target.dc_, r.x, r.y, r.w, r.h, dc_, source_x, source_y, SRCCOPY);
}

void Graphics::draw_text(const font_holder& font, const rect& r, const wchar_t* text, UINT flags, int background_mode,
                         const rgb& colour) {
    if (!text) {
        return;
    }
    HGDIOBJ old_font = SelectObject(dc_, font.font());
    const int old_mode = SetBkMode(dc_, background_mode);
    const COLORREF old_colour = SetTextColor(dc_, colour.colorref());
    RECT area = r.to_RECT();
    DrawTextW(dc_, text, -1, &area, flags);
    SetBkMode(dc_, old_mode);
    SetTextColor(dc_, old_colour);
    SelectObject(dc_, old_font);
}

void Graphics::fill_rect(const rect& r, const brush_holder& brush) {
    const RECT area{r.x, r.y, r.x + r.w + 1, r.y + r.h + 1};
    FillRect(dc_, &area, brush.brush());
}

void Graphics::gradient_fill(point first, point last, const rgb& first_colour, const rgb& second_colour, int mode) {
    TRIVERTEX vertices[2] = {
        {first.x, first.y, channel16(first_colour.r), channel16(first_colour.g), channel16(first_colour.b), 0},
        {last.x + 1, last.y + 1, channel16(second_colour.r), channel16(second_colour.g), channel16(second_colour.b), 0},
    };
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc_, vertices, 2, &mesh, 1, static_cast<ULONG>(mode));
}

void Graphics::set_pixel(point p, const rgb& colour) {
    SetPixel(dc_, p.x, p.y, colour.colorref());
}

void Graphics::draw_line(point from, point to, HPEN pen) {
    HGDIOBJ old_pen = SelectObject(dc_, pen);
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
    SelectObject(dc_, old_pen);
}

void Graphics::save() {
    SaveDC(dc_);
}

void Graphics::restore() {
    RestoreDC(dc_, -1);
}

void Graphics::clip_to(const rect& r) {
    IntersectClipRect(dc_, r.x, r.y, r.x + r.w, r.y + r.h);
}

} // namespace zel::form
