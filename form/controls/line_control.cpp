#include "form/controls/line_control.h"

#include "form/drawing/graphics.h"
#include "platform/gdi.h"

namespace zel::form {

line_control::line_control(manager_2* form, const rect& r, unsigned rrggbb) : control(form, r), colour_(rrggbb) {}

void line_control::paint(Graphics& g, const rect&, int dx, int dy) {
    HPEN pen = CreatePen(PS_SOLID, 1, rgb::from_rrggbb(colour_).colorref());
    g.draw_line({rect_.x + dx, rect_.y + dy}, {rect_.x + rect_.w + dx, rect_.y + rect_.h + dy}, pen);
    DeleteObject(pen);
}

} // namespace zel::form
