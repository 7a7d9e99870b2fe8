#include "form/controls/frame_text_button.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

frame_text_button::frame_text_button(manager_2* form, const rect& r, std::function<void()> on_click,
                                     std::wstring caption)
    : frame_button(form, r, std::move(on_click)), caption_(std::move(caption)) {}

void frame_text_button::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    frame_button::paint(g, update, dx, dy);
    font_holder font(scaled(font_size_, form_->get_scale()), font_weight_);
    g.draw_text(font, rect_, caption_, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, rgb{255, 255, 255});
}

} // namespace zel::form
