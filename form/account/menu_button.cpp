#include "form/account/menu_button.h"

#include "form/controls/image_button.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

menu_button::menu_button(manager_2* form, const rect& r, std::function<void()> on_click, std::shared_ptr<Image> normal,
                         std::shared_ptr<Image> disabled, std::wstring caption)
    : button(form, r, std::move(on_click)), normal_(std::move(normal)), disabled_(std::move(disabled)),
      caption_(std::move(caption)) {}

Image* menu_button::chosen_image() const {
    return enabled_ ? normal_.get() : disabled_.get();
}

rect menu_button::caption_rect() const {
    font_holder font(scaled(23, form_->get_scale()), 400);
    const int th = text_extent(form_->get_hwnd(), font, L"Навигатор").height;
    return {rect_.x, static_cast<int>(rect_.y + rect_.h - 1.5 * th), rect_.w, th};
}

void menu_button::paint(Graphics& g, const rect&, int, int) {
    if (!visible_) {
        return;
    }
    g.fill_rect(rect_, brush_holder(pressed_ ? rgb{245, 207, 0} : rgb{0, 0, 0}));
    Image* image = chosen_image();
    if (!image || image->empty()) {
        return;
    }
    draw_centred(g, image, rect_);
    font_holder font(scaled(23, form_->get_scale()), 400);
    g.draw_text(font, caption_rect(), caption_, DT_CENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS, TRANSPARENT,
                enabled_ ? rgb{255, 255, 255} : rgb{150, 150, 150});
}

} // namespace zel::form
