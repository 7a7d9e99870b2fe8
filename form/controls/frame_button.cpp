#include "form/controls/frame_button.h"

#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"

namespace zel::form {

frame_button::frame_button(manager_2* form, const rect& r, std::function<void()> on_click)
    : button(form, r, std::move(on_click)) {
    const skin_images* skin = form ? form->get_skin_images() : nullptr;
    const int ids[4] = {1018, 1017, 1019, 1020};
    for (int i = 0; i < 4; ++i) {
        corners_[i] = skin_images::image_of(skin, ids[i]);
    }
}

int frame_button::frame_style() const {
    if (pressed_) {
        return 1;
    }
    switch (style_) {
    case 1:
        return 2;
    case 2:
        return 3;
    default:
        return 0;
    }
}

void frame_button::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    draw_gradient_frame(g, rect_, frame_style());
    const rect& r = rect_;
    corners_[0]->draw(g, r.x, r.y);
    corners_[1]->draw(g, r.x, r.y + r.h - corners_[1]->height() + 1);
    corners_[2]->draw(g, r.x + r.w - corners_[2]->width() + 1, r.y);
    corners_[3]->draw(g, r.x + r.w - corners_[3]->width() + 1, r.y + r.h - corners_[3]->height() + 1);
}

} // namespace zel::form
