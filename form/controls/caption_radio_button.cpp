#include "form/controls/caption_radio_button.h"

#include <algorithm>

#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

namespace {

constexpr int caption_gap = 6; // the caption keeps this far from the picture and from the tab's right edge

} // namespace

caption_radio_button::caption_radio_button(manager_2* form, const rect& r, std::function<void()> on_select,
                                           std::shared_ptr<Image> on_image, std::shared_ptr<Image> off_image,
                                           std::wstring caption, radio_group* group)
    : radio_button(form, r, std::move(on_select), group), on_image_(std::move(on_image)),
      off_image_(std::move(off_image)), caption_(std::move(caption)) {}

Image* caption_radio_button::state_image() const {
    Image* image = checked_ ? on_image_.get() : off_image_.get();
    return image && !image->empty() ? image : nullptr;
}

rect caption_radio_button::image_rect() const {
    // The design measured the picture untested: a tab without one (an unlisted order class) crashed.
    const Image* image = state_image();
    const int iw = image ? image->width() : 0;
    const int ih = image ? image->height() : 0;
    const int li = scaled(26, form_->get_scale());
    return {rect_.x + li, rect_.y + rect_.h / 2 - ih / 2, iw, ih};
}

rect caption_radio_button::caption_rect() const {
    const rect image = image_rect();
    const int li = scaled(26, form_->get_scale());
    // Without the gap a caption that fits only just ran from the picture's edge to the tab's.
    const int gap = scaled(caption_gap, form_->get_scale());
    return {rect_.x + li + image.w + gap, rect_.y, std::max(0, rect_.w - image.w - li - 2 * gap), rect_.h};
}

int caption_radio_button::caption_height() const {
    return fitted_font_height(form_->get_hwnd(), caption_, caption_rect().w, 700, 26, 13, form_->get_scale());
}

void caption_radio_button::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    const float s = form_->get_scale();
    g.gradient_fill({rect_.x + 1, rect_.y + 1}, {rect_.x + rect_.w - 1, rect_.y + rect_.h - 1},
                    checked_ ? rgb{14, 16, 18} : rgb{66, 69, 74}, checked_ ? rgb{30, 35, 40} : rgb{36, 38, 42}, 1);
    const rect image = image_rect();
    if (Image* picture = state_image()) {
        picture->draw(g, image.x, image.y);
    }
    font_holder font(caption_height(), 700);
    g.draw_text(font, caption_rect(), caption_, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS, TRANSPARENT,
                rgb{195, 200, 201});
    if (!subcaption_.empty()) {
        font_holder sub(scaled(30, s), 500);
        g.draw_text(sub, image, subcaption_, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRANSPARENT, rgb{0, 0, 0});
    }
}

} // namespace zel::form
