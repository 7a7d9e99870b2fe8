#include "form/account/color_box.h"

#include "form/drawing/brush_holder.h"
#include "form/drawing/graphics.h"

namespace zel::form {

void color_box::paint(Graphics& g, const rect&, int, int) {
    if (visible_) {
        g.fill_rect(rect_, brush_holder(rgb{19, 22, 27}));
    }
}

} // namespace zel::form
