#include "form/drawing/brush_holder.h"

#include "platform/gdi.h"

namespace zel::form {

brush_holder::brush_holder(const rgb& colour) : brush_(CreateSolidBrush(colour.colorref())) {}

brush_holder::~brush_holder() {
    if (brush_) {
        DeleteObject(brush_);
    }
}

} // namespace zel::form
