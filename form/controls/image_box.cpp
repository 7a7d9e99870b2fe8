#include "form/controls/image_box.h"

#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

constexpr int box_id = 2203;

} // namespace

image_box::image_box(manager_2* form) : control(form, rect{}), image_(form_image(form, box_id)) {
    rect_ = rect{0, 0, image_->width(), image_->height()};
}

void image_box::set_rect(const rect& r) {
    rect_ = r;
    invalidate();
}

void image_box::paint(Graphics& g, const rect&, int dx, int dy) {
    if (visible_) {
        image_->draw(g, rect_.x + dx, rect_.y + dy);
    }
}

} // namespace zel::form
