#include "form/controls/image_control.h"

#include "form/drawing/image.h"

namespace zel::form {

image_control::image_control(manager_2* form, const rect& r, std::shared_ptr<Image> image)
    : control(form, r), image_(std::move(image)) {}

void image_control::set_image(std::shared_ptr<Image> image) {
    image_ = std::move(image);
    invalidate();
}

void image_control::set_rect(const rect& r) {
    rect_ = r;
    invalidate();
}

void image_control::paint(Graphics& g, const rect&, int dx, int dy) {
    if (visible_ && image_ && !image_->empty()) {
        image_->draw(g, rect_.x + dx, rect_.y + dy);
    }
}

} // namespace zel::form
