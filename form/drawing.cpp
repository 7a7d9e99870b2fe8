#include "form/drawing.h"

#include "form/brush_holder.h"
#include "form/font_holder.h"
#include "form/graphics.h"
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

void paint_background_slate(Graphics& g, const rect& update) {
    brush_holder brush(slate_colour);
    g.fill_rect(update, brush);
}

} // namespace zel::form
