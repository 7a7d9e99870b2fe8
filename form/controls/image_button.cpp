#include "form/controls/image_button.h"

#include "form/drawing/image.h"

namespace zel::form {

void draw_centred(Graphics& g, Image* image, const rect& r) {
    if (image && !image->empty()) {
        image->draw(g, r.x + r.w / 2 - image->width() / 2, r.y + r.h / 2 - image->height() / 2);
    }
}

image_button::image_button(manager_2* form, const rect& r, std::function<void()> on_click,
                           std::shared_ptr<Image> normal, std::shared_ptr<Image> pressed)
    : button(form, r, std::move(on_click)), normal_(std::move(normal)), pressed_image_(std::move(pressed)) {}

void image_button::paint(Graphics& g, const rect&, int, int) {
    if (visible_) {
        draw_centred(g, pressed_ ? pressed_image_.get() : normal_.get(), rect_);
    }
}

} // namespace zel::form
