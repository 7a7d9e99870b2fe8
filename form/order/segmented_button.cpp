#include "form/order/segmented_button.h"

#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

constexpr int piece_ids[6] = {1058, 1062, 1060, 1059, 1063, 1061};

} // namespace

segmented_button::segmented_button(manager_2* form, const rect& r, std::function<void()> on_click)
    : button(form, r, std::move(on_click)) {
    const skin_images* skin = form ? form->get_skin_images() : nullptr;
    for (int i = 0; i < 6; ++i) {
        pieces_[i] = skin_images::image_of(skin, piece_ids[i]);
    }
    for (int set = 0; set < 6; set += 3) {
        Image& middle = *pieces_[set + 2];
        middle.resize(r.w - pieces_[set + 1]->width() - pieces_[set]->width(), middle.height());
    }
}

void segmented_button::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    const int set = pressed_ ? 3 : 0;
    int x = rect_.x;
    for (Image* piece : {pieces_[set].get(), pieces_[set + 2].get(), pieces_[set + 1].get()}) {
        piece->draw(g, x, rect_.y);
        x += piece->width();
    }
}

} // namespace zel::form
