#include "form/order/icon_button.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

icon_button::icon_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                         std::shared_ptr<Image> pressed, std::shared_ptr<Image> icon, std::wstring caption)
    : image_button(form, r, std::move(on_click), std::move(normal), std::move(pressed)), icon_(std::move(icon)),
      caption_(std::move(caption)) {}

void icon_button::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    image_button::paint(g, update, dx, dy);
    if (!icon_ || icon_->empty()) {
        return;
    }
    const int ih = icon_->height();
    font_holder font(scaled(27, form_->get_scale()), 400);
    g.draw_text(font, {rect_.x, rect_.y + ih, rect_.w, rect_.h - ih}, caption_, DT_CENTER | DT_SINGLELINE, TRANSPARENT,
                rgb{150, 150, 150});
    draw_centred(g, icon_.get(), rect_);
}

} // namespace zel::form
