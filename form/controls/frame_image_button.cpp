#include "form/controls/frame_image_button.h"

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

frame_image_button::frame_image_button(manager_2* form, const rect& r, std::function<void()> on_click,
                                       std::shared_ptr<Image> image, std::wstring caption)
    : frame_button(form, r, std::move(on_click)), image_(std::move(image)), caption_(std::move(caption)) {}

void frame_image_button::paint(Graphics& g, const rect& update, int dx, int dy) {
    if (!visible_) {
        return;
    }
    frame_button::paint(g, update, dx, dy);
    if (!image_ || image_->empty()) {
        return;
    }
    const int ih = image_->height();
    font_holder font(scaled(23, form_->get_scale()), 400);
    g.draw_text(font, {rect_.x, rect_.y + ih, rect_.w, rect_.h - ih}, caption_, DT_CENTER | DT_SINGLELINE, TRANSPARENT,
                rgb{150, 150, 150});
    image_->draw(g, rect_.x + rect_.w / 2 - image_->width() / 2, rect_.y);
}

} // namespace zel::form
