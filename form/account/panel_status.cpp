#include "form/account/panel_status.h"

#include <algorithm>

#include "form/brush_holder.h"
#include "form/drawing.h"
#include "form/graphics.h"

namespace zel::form {

// Only the strip's own part of the update: the panel below was painted first and must stay.
void panel_status::paint_background(Graphics& g, const rect& update) {
    const int left = std::max(own_.x, update.x);
    const int top = std::max(own_.y, update.y);
    const int right = std::min(own_.x + own_.w, update.x + update.w);
    const int bottom = std::min(own_.y + own_.h, update.y + update.h);
    if (right > left && bottom > top) {
        brush_holder slate(slate_colour);
        // fill_rect covers one pixel more each way.
        g.fill_rect(rect{left, top, right - left - 1, bottom - top - 1}, slate);
    }
}

} // namespace zel::form
